#include "removal/removal_plan.h"

#include "base/device_walk.h"
#include "base/mbtext.h"
#include "base/pnf_twin.h"
#include "base/run_log.h"
#include "platform/win32.h"
#include "removal/driver_packages.h"
#include "removal/filter_references.h"
#include "removal/inf_holders.h"
#include "removal/listed_deletion.h"
#include "removal/registry_deletion.h"
#include "removal/run_removal.h"

namespace {

const char *presence(int present) { return present ? "" : " (not there)"; }

int file_exists(const char *path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void plan_device(const walked_device *walked, void *) {
    char instance_id[INSTANCE_ID_SIZE];
    log_line("plan: remove device %s (%s)", walked_instance_id(walked, instance_id),
             walked->hardware_id);
}

int plan_device_removal(run_record *record) {
    log_line("plan: disable the attached handsets of interface class %s",
             record->profile->product_guid);
    device_walk walk = product_device_walk(record);
    if (walk_devices(&walk, plan_device, 0) == DEVICE_WALK_NO_LIST)
        log_line("plan: remove devices (the device list could not be obtained)");
    return 1;
}

int plan_usb_flags(const string_list_entry *device_ids) {
    int present = 0;
    for (const string_list_entry *id = device_ids; id; id = id->next) {
        char name[SERIAL_FLAG_NAME_SIZE];
        if (!usb_serial_flag_name(id->text, name)) continue;
        int here = value_is_present(USB_FLAGS_KEY, name);
        log_line("plan: delete value %s\\%s%s", USB_FLAGS_KEY, name, presence(here));
        present |= here;
    }
    return present;
}

// The product's devices go first; a copy that another device still uses is refused by the
// platform's uninstall and stays with its PNF and package.
int plan_driver_packages(run_record *record, string_list_entry **) {
    int may_refuse = find_uninstall_oem_inf(record->os_class) != 0;
    for (const string_list_entry *entry = next_driver_package(record, record->files_to_delete);
         entry; entry = next_driver_package(record, entry->next)) {
        int present = file_exists(entry->text);
        char ids[LIST_TEXT_SIZE];
        int holders = may_refuse && present
                          ? count_inf_holders(record, oem_inf_name(entry->text, record->windows_dir),
                                              1, ids, sizeof ids)
                          : 0;
        if (holders) {
            log_line("plan: keep driver package %s with its PNF and package, in use by %d "
                     "device(s)%s%s", entry->text, holders, ids[0] ? ": " : "", ids);
            continue;
        }
        log_line("plan: uninstall driver package %s%s", entry->text, presence(present));
        char twin[PATH_SIZE];
        if (pnf_twin_of(entry->text, twin, sizeof twin))
            log_line("plan: delete file %s%s", twin, presence(file_exists(twin)));
    }
    return 0;
}

int plan_key(const char *key_path) {
    log_line("plan: delete key %s%s", key_path, presence(key_is_present(key_path)));
    return 0;
}

int plan_value(const char *key_path, const char *value_name) {
    log_line("plan: delete value %s\\%s%s", key_path, value_name,
             presence(value_is_present(key_path, value_name)));
    return 0;
}

int plan_file(const char *path, string_list_entry **) {
    log_line("plan: delete file %s%s", path, presence(file_exists(path)));
    return 0;
}

// A folder in the install folder resists DeleteFileA and goes to the restart with the
// files in use.
int plan_swept_entry(const char *path, string_list_entry **restart_list) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        push_string(restart_list, path);
    else
        plan_file(path, restart_list);
    return 0;
}

int plan_hand_over(const string_list_entry *list, const run_record *) {
    for (; list; list = list->next) log_line("plan: hand %s to the restart", list->text);
    return 0;
}

string_list_entry *plan_filters(const run_record *record) {
    return take_services_out_of_filters(record, 1);
}

int plan_service(run_record *, const char *key_path, SC_HANDLE *) {
    log_line("plan: delete service %s (through the service manager where it is registered)",
             service_name_of(key_path));
    return plan_key(key_path);
}

int plan_co_installer(const char *path, string_list_entry **restart_list) {
    if (file_exists(path)) take_dll_out_of_co_installers(mb_find_last_char(path, '\\') + 1, 1);
    return plan_file(path, restart_list);
}

// Keeping the plan and counting what stayed change nothing; the devices are disabled
// before they are removed.
const removal_executor plan_executor = {
    "plan: ", 0, 0, plan_device_removal, plan_usb_flags, 0, plan_driver_packages,
    plan_key, plan_value, plan_file, plan_swept_entry, 0, plan_hand_over, plan_filters,
    plan_service, plan_co_installer};

}  // namespace

// The sequence notes a needed restart in the record; the dry run only names it.
void write_removal_plan(run_record *record) {
    log_line("plan: the removal would act on the following, in this order");
    int restart_needed = record->restart_needed;
    record->restart_needed = 0;
    run_removal_sequence(record, &plan_executor);
    if (record->restart_needed) log_line("plan: a restart would be asked for");
    record->restart_needed = restart_needed;
}
