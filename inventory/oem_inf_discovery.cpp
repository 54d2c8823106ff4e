#include "inventory/oem_inf_discovery.h"

#include <stdio.h>
#include <string.h>

#include "base/folder_listing.h"
#include "base/guid_text.h"
#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/path_text.h"
#include "base/reg_helpers.h"
#include "base/text_buffer.h"
#include "base/run_log.h"
#include "inventory/driver_key_inf.h"
#include "inventory/driver_keys.h"
#include "inventory/inf_reading.h"
#include "base/pnf_twin.h"
#include "platform/win32.h"

namespace {

// Pushes the INF path and then its PNF twin, so that the twin stands at the head. An INF
// without an extension has no twin and is not taken: the platform never names its copies so.
int push_inf_pair(const char *inf_path, string_list_entry **files_to_delete,
                  const char *source) {
    char twin[PATH_SIZE];
    if (!pnf_twin_of(inf_path, twin, sizeof twin)) return 0;
    if (!push_string(files_to_delete, inf_path)) return 0;
    log_line("found file %s (%s)", inf_path, source);
    if (push_string(files_to_delete, twin))
        log_line("found file %s (the PNF twin of %s)", twin, inf_path);
    return 1;
}

// Follows one driver key text {class GUID}\NNNN; 1 when its INF pair was pushed.
int follow_driver_key(const char *driver_key_text, const char *windows_dir,
                      const char *product_guid, string_list_entry **files_to_delete) {
    char class_part[LIST_TEXT_SIZE];
    if (!text_copy(class_part, sizeof class_part, driver_key_text)) return 0;
    char *slash = mb_find_last_char(class_part, '\\');
    if (!slash || !slash[1]) return 0;
    *slash = '\0';
    const char *instance = slash + 1;
    GUID class_guid;
    if (!parse_guid_text(class_part, &class_guid)) return 0;
    HKEY class_key = SetupDiOpenClassRegKeyExA(&class_guid, KEY_READ, DIOCR_INSTALLER, 0, 0);
    if (class_key == (HKEY)INVALID_HANDLE_VALUE) return 0;
    HKEY driver_key;
    if (RegOpenKeyExA(class_key, instance, 0, KEY_READ, &driver_key) != ERROR_SUCCESS) {
        RegCloseKey(class_key);
        return 0;
    }
    char inf_path[PATH_SIZE];
    char source[LIST_TEXT_SIZE + 32];
    snprintf(source, sizeof source, "InfPath of the driver key %s", driver_key_text);
    int pushed = driver_key_inf(driver_key, INF_COPIES_NT, product_guid, windows_dir, inf_path,
                                sizeof inf_path) &&
                 push_inf_pair(inf_path, files_to_delete, source);
    RegCloseKey(driver_key);
    RegCloseKey(class_key);
    return pushed;
}

}  // namespace

int infs_from_driver_keys(const string_list_entry *driver_keys, const char *windows_dir,
                          const char *product_guid, string_list_entry **files_to_delete) {
    int found = 0;
    for (const string_list_entry *entry = driver_keys; entry; entry = entry->next)
        if (follow_driver_key(entry->text, windows_dir, product_guid, files_to_delete)) found = 1;
    return found;
}

namespace {

struct inf_scan {
    const string_list_entry *device_ids;
    const string_list_entry *device_names;
    const char *inf_dir;
    int os_class;
    int skip_validation;
    string_list_entry **files_to_delete;
    int found;
};

// The PNF twin is composed from the INF's name, so an INF is taken only under its own long
// name: the twin of an 8.3 alias would be some other file's alias.
void examine_listed_inf(const char *name, DWORD attributes, int is_short_name, void *context) {
    inf_scan *scan = (inf_scan *)context;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || is_short_name) return;
    char inf_path[PATH_SIZE];
    // A name that does not fit the path is passed over, never cut.
    // A copy the driver keys led to is already listed with its twin.
    if (!text_join(inf_path, sizeof inf_path, scan->inf_dir, "\\", name) ||
        string_list_holds(*scan->files_to_delete, inf_path))
        return;
    // The options are asked first; the device test runs only for a file that passes them.
    if (inf_allows_uninstall(inf_path, scan->os_class, scan->skip_validation) &&
        inf_names_device(inf_path, scan->device_ids, scan->device_names) &&
        push_inf_pair(inf_path, scan->files_to_delete,
                      "an INF file of the INF folder that names a device of the product"))
        scan->found = 1;
}

}  // namespace

int scan_inf_directory(const string_list_entry *device_ids, const string_list_entry *device_names,
                       const char *inf_dir, int os_class, string_list_entry **files_to_delete,
                       int skip_validation) {
    inf_scan scan = {device_ids, device_names, inf_dir, os_class, skip_validation,
                     files_to_delete, 0};
    list_folder(inf_dir, "*.inf", examine_listed_inf, &scan);
    return scan.found;
}

int discover_oem_infs(run_record *record) {
    // Both routes compose their paths from the Windows directory.
    if (!record->windows_dir[0]) return 0;
    int listed = collect_driver_keys(record->device_ids, record->device_names,
                                     &record->driver_keys, &record->device_instances,
                                     &record->filtered_devices);
    record->devices_listed = listed == DEVICE_LIST_BUILT;
    int found = 0;
    if (listed != DEVICE_LIST_NOT_BUILT) {
        found = infs_from_driver_keys(record->driver_keys, record->windows_dir,
                                      record->profile->product_guid, &record->files_to_delete);
        // From Windows Vista on the driver store keeps the packages of earlier versions of
        // the driver set, published under their OEM names, though no device uses them.
        if (record->os_class < OS_LATER_NT) return found;
    }
    char inf_dir[PATH_SIZE];
    if (!text_join(inf_dir, sizeof inf_dir, record->windows_dir, "\\", "inf")) return found;
    return scan_inf_directory(record->device_ids, record->device_names, inf_dir,
                              record->os_class, &record->files_to_delete,
                              record->skip_inf_validation) ||
           found;
}
