#include "removal/removal_plan.h"

#include <string.h>

#include "base/device_walk.h"
#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/run_log.h"
#include "base/text_buffer.h"
#include "platform/win32.h"
#include "removal/driver_packages.h"
#include "removal/install_folder.h"
#include "removal/listed_deletion.h"
#include "removal/records_last.h"
#include "removal/registry_deletion.h"
#include "removal/run_programs.h"

namespace {

const char *presence(int present) { return present ? "" : " (not there)"; }

int file_exists(const char *path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void plan_device(const walked_device *walked, void *context) {
    (void)context;
    char instance_id[INSTANCE_ID_SIZE];
    log_line("plan: remove device %s (%s)", walked_instance_id(walked, instance_id),
             walked->hardware_id);
}

void plan_nt_devices(const run_record *record) {
    log_line("plan: disable the attached handsets of interface class %s",
             record->profile->product_guid);
    device_walk walk = product_device_walk(record);
    if (walk_devices(&walk, plan_device, 0) == DEVICE_WALK_NO_LIST)
        log_line("plan: remove devices (the device list could not be obtained)");
    for (const string_list_entry *id = record->device_ids; id; id = id->next) {
        char name[SERIAL_FLAG_NAME_SIZE];
        if (!usb_serial_flag_name(id->text, name)) continue;
        log_line("plan: delete value %s\\%s%s", USB_FLAGS_KEY, name,
                 presence(value_is_present(USB_FLAGS_KEY, name)));
    }
}

// Each OEM INF copy once, as the removal hands it to the platform after the devices.
void plan_driver_packages(const run_record *record) {
    for (const string_list_entry *entry = record->files_to_delete; entry; entry = entry->next) {
        if (!oem_inf_name(entry->text, record->windows_dir)) continue;
        const string_list_entry *earlier = record->files_to_delete;
        while (earlier != entry && !mb_equal_nocase(earlier->text, entry->text))
            earlier = earlier->next;
        if (earlier == entry)
            log_line("plan: uninstall driver package %s%s", entry->text,
                     presence(file_exists(entry->text)));
    }
}

void plan_legacy_index(const run_record *record) {
    for (int i = 0; legacy_driver_index_files[i] && record->windows_dir[0]; ++i) {
        char path[PATH_SIZE];
        if (text_join(path, sizeof path, record->windows_dir, "\\", legacy_driver_index_files[i]))
            log_line("plan: delete file %s%s", path, presence(file_exists(path)));
    }
}

void plan_lists(const run_record *record) {
    for (const string_list_entry *key = record->keys_to_delete; key; key = key->next)
        if (!is_record_key(record, key->text))
            log_line("plan: delete key %s%s", key->text, presence(key_is_present(key->text)));
    for (const value_pair_entry *v = record->values_to_delete; v; v = v->next)
        log_line("plan: delete value %s\\%s%s", v->key_path, v->value_name,
                 presence(value_is_present(v->key_path, v->value_name)));
    for (const string_list_entry *file = record->files_to_delete; file; file = file->next)
        if (!program_of_the_run(record, file->text))
            log_line("plan: delete file %s%s", file->text, presence(file_exists(file->text)));
    text_list fixed = record->profile->fixed_files;
    for (int i = 0; fixed && fixed[i] && fixed[i][0]; ++i)
        if (file_exists(fixed[i])) log_line("plan: delete file %s", fixed[i]);
}

void plan_install_folder(const run_record *record) {
    if (record->leave_source || !record->install_dir[0]) return;
    char folder[PATH_SIZE];
    char search[PATH_SIZE];
    if (!sweepable_install_folder(record->install_dir, record->windows_dir, folder)) {
        log_line("plan: leave %s alone, not a folder the product may own", record->install_dir);
        return;
    }
    const char *prefix = record->prefix_only ? record->profile->short_name : "";
    if (!text_join(search, sizeof search, folder, "\\", prefix) ||
        !text_append(search, sizeof search, "*.*"))
        return;
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA(search, &found);
    if (listing == INVALID_HANDLE_VALUE) return;
    do {
        char full_path[PATH_SIZE];
        if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
        if (!text_join(full_path, sizeof full_path, folder, "\\", found.cFileName)) continue;
        if (program_of_the_run(record, full_path)) continue;  // after the records
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            log_line("plan: hand %s to the restart (a folder)", full_path);
        else if (!run_log_is_open() || !mb_equal_nocase(full_path, run_log_path()))
            log_line("plan: delete file %s", full_path);
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
}

// The two records go last (removal/records_last.h).
void plan_records(const run_record *record) {
    if (record->product_key[0]) log_line("plan: delete key %s", record->product_key);
    if (record->uninstall_key[0]) log_line("plan: delete key %s", record->uninstall_key);
}

// The program files of the run go to the restart after the records (removal/run_programs.h).
void plan_programs(const run_record *record) {
    const char *const programs[] = {record->own_path, record->partner_path};
    for (int i = 0; i < 2; ++i) {
        const char *path = programs[i];
        if (path[0] && file_exists(path) &&
            (sweep_reaches(record, path) || string_list_holds(record->files_to_delete, path)))
            log_line("plan: hand %s to the restart (%s)", path, program_of_the_run(record, path));
    }
}

}  // namespace

void write_removal_plan(const run_record *record) {
    log_line("plan: the removal would act on the following, in this order");
    if (record->os_class >= OS_FIRST_NT) {
        plan_nt_devices(record);
        plan_driver_packages(record);
    } else
        plan_legacy_index(record);
    plan_lists(record);
    plan_install_folder(record);
    plan_records(record);
    plan_programs(record);
    log_line("plan: a restart would be asked for");
}
