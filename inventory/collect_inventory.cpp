#include "inventory/collect_inventory.h"

#include "base/key_path.h"
#include "base/companion_name.h"
#include "base/mbtext.h"
#include "base/present_names.h"
#include "base/os_class.h"
#include "base/reg_helpers.h"
#include "base/text_buffer.h"
#include "base/run_log.h"
#include "inventory/device_keys_9x.h"
#include "inventory/driver_file_folders.h"
#include "inventory/finding_checks.h"
#include "inventory/kept_plan.h"
#include "inventory/oem_inf_discovery.h"
#include "inventory/oem_records_9x.h"
#include "inventory/product_record.h"
#include "inventory/service_keys.h"
#include "platform/win32.h"

#define UNINSTALL_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"

namespace {

// A path that does not fit its buffer is left empty: a cut path would name another place.
void store_paths(run_record *record) {
    UINT length = GetWindowsDirectoryA(record->windows_dir, PATH_SIZE);
    if (length == 0 || length >= PATH_SIZE) record->windows_dir[0] = '\0';
    DWORD own = GetModuleFileNameA(0, record->own_path, PATH_SIZE);
    if (own == 0 || own >= PATH_SIZE) record->own_path[0] = '\0';
    if (record->companion && record->own_path[0])
        program_path_of(record->own_path, record->partner_path, PATH_SIZE);
}

// The uninstall record is recognised by the program file name its "UninstallString" ends in.
// The companion looks for the name of the 32-bit program, which the installer recorded.
void find_uninstall_record(run_record *record) {
    const char *program = record->partner_path[0] ? record->partner_path : record->own_path;
    const char *own_name = mb_find_last_char(program, '\\');
    if (!own_name) return;
    string_list_entry *subkeys = 0;
    reg_list_subkeys(UNINSTALL_KEY, &subkeys);
    for (string_list_entry *subkey = subkeys; subkey; subkey = subkey->next) {
        char path[PATH_SIZE];
        char command[PATH_SIZE];
        // A subkey name too long for the key path is skipped, never cut into another's name.
        if (!compose_key_path(path, UNINSTALL_KEY, subkey->text)) continue;
        if (!reg_read_string(path, "UninstallString", command, sizeof command)) continue;
        const char *name = mb_find_last_char(command, '\\');
        if (!name || !mb_equal_nocase(name, own_name)) continue;
        push_string(&record->keys_to_delete, path);
        text_copy(record->uninstall_key, sizeof record->uninstall_key, path);
        log_line("found key %s (the uninstall record: its UninstallString %s names this program)",
                 path, command);
        break;
    }
    free_string_list(subkeys);
}

void push_all(string_list_entry **list, text_list texts) {
    for (int i = 0; texts && texts[i]; ++i) push_string(list, texts[i]);
}

#define MOST_DRIVER_FILE_FOLDERS 8

// The first system directory that holds the file wins; the others are not tried. Each folder
// is listed once for all the names (base/present_names.h).
void find_driver_file(run_record *record, const char *file_name, const char *const *dirs,
                      string_list_entry *const *present) {
    for (int i = 0; dirs[i] && i < MOST_DRIVER_FILE_FOLDERS; ++i) {
        char dir[PATH_SIZE];
        char candidate[PATH_SIZE];
        if (!string_list_holds(present[i], file_name) ||
            !text_join(dir, sizeof dir, record->windows_dir, "\\", dirs[i]) ||
            !text_join(candidate, sizeof candidate, dir, "\\", file_name))
            continue;
        push_string(&record->files_to_delete, candidate);
        log_line("found file %s (a driver file of the product)", candidate);
        return;
    }
}

// A name whose file the plan of a cut-off run holds is not searched again: that run may have
// deleted it already, and the search would go on to the next folder and take a same-named
// file there that is not the product's.
void find_driver_files(run_record *record, const kept_plan *plan) {
    if (!record->windows_dir[0]) return;  // no base to search from
    const char *const *dirs = driver_file_folders(record->os_class);
    text_list lists[2] = {record->profile->driver_files, record->profile->more_driver_files};
    string_list_entry *names = 0;
    for (int l = 0; l < 2; ++l)
        for (int i = 0; lists[l] && lists[l][i]; ++i)
            if (!plan_holds_driver_file(plan, record, lists[l][i])) push_string(&names, lists[l][i]);
    string_list_entry *present[MOST_DRIVER_FILE_FOLDERS] = {0};
    for (int i = 0; names && dirs[i] && i < MOST_DRIVER_FILE_FOLDERS; ++i) {
        char dir[PATH_SIZE];
        if (text_join(dir, sizeof dir, record->windows_dir, "\\", dirs[i]))
            present[i] = present_names(dir, names);
    }
    for (int l = 0; l < 2; ++l)
        for (int i = 0; lists[l] && lists[l][i]; ++i)
            if (string_list_holds(names, lists[l][i]))
                find_driver_file(record, lists[l][i], dirs, present);
    for (int i = 0; i < MOST_DRIVER_FILE_FOLDERS; ++i) free_string_list(present[i]);
    free_string_list(names);
}

void add_extra_keys(run_record *record) {
    text_list keys = record->profile->extra_keys;
    for (int i = 0; keys && keys[i]; ++i) {
        const char *key = extra_key_on_family(keys[i], record->os_class);
        if (!key) continue;
        push_string(&record->keys_to_delete, key);
        log_line("found key %s (the product's list of keys)", key);
    }
}

void discover_legacy_keys(run_record *record) {
    for (string_list_entry *name = record->device_names; name; name = name->next) {
        scan_enumerator_key(record, name->text);
        scan_device_key(record, "Enum\\Root", name->text);
        scan_device_key(record, "Enum\\SW", name->text);
    }
    scan_vid_pid_devices(record);
    scan_oem_name_values(record);
    if (record->os_class == OS_WINME) scan_hardware_id_devices(record, "Enum\\USBSTOR");
    scan_hardware_id_devices(record, "Enum\\PCI");
    scan_hardware_id_devices(record, "Enum\\TAVOCEB");
    follow_driver_keys(record);
}

}  // namespace

void collect_inventory(run_record *record) {
    store_paths(record);
    find_uninstall_record(record);
    read_product_record(record);
    kept_plan plan;
    read_kept_plan(record, &plan);
    if (!record->device_ids) push_all(&record->device_ids, record->profile->default_device_ids);
    push_all(&record->device_names, record->profile->device_names);
    find_driver_files(record, &plan);
    add_extra_keys(record);
    if (record->os_class >= OS_FIRST_NT) {
        discover_oem_infs(record);
        find_service_keys(record);
    } else {
        discover_legacy_keys(record);
    }
    merge_kept_plan(&plan, record);
}
