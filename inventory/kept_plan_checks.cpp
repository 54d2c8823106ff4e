#include "inventory/kept_plan_checks.h"

#include <string.h>

#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/path_text.h"
#include "base/reg_helpers.h"
#include "base/registry_view.h"
#include "base/text_buffer.h"
#include "inventory/driver_file_folders.h"
#include "inventory/inf_reading.h"
#include "inventory/service_keys.h"
#include "platform/win32.h"

#define CLASS_ROOT "System\\CurrentControlSet\\Services\\Class"

namespace {

// Only "not there" counts as gone: a file or key that cannot be read is still there.
int file_is_gone(const char *path) {
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return 0;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

int key_is_gone(const char *key_path) {
    HKEY key;
    LONG rc = open_machine_key(key_path, KEY_READ, &key);
    if (rc == ERROR_SUCCESS) RegCloseKey(key);
    return rc == ERROR_FILE_NOT_FOUND;
}

int any_driver_file_place(const run_record *record, const char *path) {
    text_list lists[2] = {record->profile->driver_files, record->profile->more_driver_files};
    for (int l = 0; l < 2; ++l)
        for (int i = 0; lists[l] && lists[l][i]; ++i)
            if (is_driver_file_place(record, path, lists[l][i])) return 1;
    return 0;
}

// The INF an entry of the family's INF-copy folder stands for: the entry itself for an
// ".inf", the INF of a PNF twin. 0 for any other place or name.
int inf_copy_of(const run_record *record, const char *path, char *inf_path, size_t size,
                int *is_twin) {
    const char *folder = record->os_class >= OS_FIRST_NT ? "\\inf" : "\\inf\\other";
    char expected[PATH_SIZE];
    const char *slash = mb_find_last_char(path, '\\');
    if (!slash || !is_bare_file_name(slash + 1) ||
        !text_join(expected, sizeof expected, record->windows_dir, folder, "") ||
        strlen(expected) != (size_t)(slash - path) ||
        !mb_prefix_equal_nocase(path, expected, strlen(expected)))
        return 0;
    const char *dot = mb_find_last_char(slash, '.');
    if (!dot) return 0;
    *is_twin = mb_equal_nocase(dot, ".pnf");
    if (!*is_twin) return mb_equal_nocase(dot, ".inf") && text_copy(inf_path, size, path);
    size_t stem = (size_t)(dot - path);
    if (stem + sizeof ".inf" > size) return 0;
    memcpy(inf_path, path, stem);
    inf_path[stem] = '\0';
    return text_append(inf_path, size, ".inf");
}

// The same test the INF-folder scan makes of a file it reads.
int inf_is_products(const run_record *record, const char *inf_path) {
    return inf_allows_uninstall(inf_path, record->os_class, record->skip_inf_validation) &&
           inf_names_device(inf_path, record->device_ids, record->device_names);
}

// A Windows 98/ME driver key whose device key is gone: the product's by its marker subkey, or
// by the INF copy its "InfPath" names when that is the product's by its content. A
// "ProviderName" (what a fresh finding accepts beside a device of the product) is any other
// vendor's too.
int driver_key_is_products(const run_record *record, const char *key_path) {
    HKEY key;
    if (open_machine_key(key_path, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    const char *guid = record->profile->product_guid;
    HKEY marker;
    int products = guid && guid[0] && RegOpenKeyExA(key, guid, 0, KEY_READ, &marker) == ERROR_SUCCESS;
    if (products) RegCloseKey(marker);
    char inf_name[PATH_SIZE];
    char inf_path[PATH_SIZE];
    if (!products && reg_read_string_at(key, "InfPath", inf_name, sizeof inf_name) &&
        is_bare_file_name(inf_name) &&
        text_join(inf_path, sizeof inf_path, record->windows_dir, "\\inf\\other\\", inf_name))
        products = inf_is_products(record, inf_path);
    RegCloseKey(key);
    return products;
}

// A key with neither subkeys nor values: what a deletion of its tree cut off part way leaves of
// it, once the subkeys that made it the product's (a device's instances, a marker) are gone.
// Deleting an empty key loses nothing.
int key_is_emptied(const char *key_path) {
    HKEY key;
    if (open_machine_key(key_path, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return 0;
    char name[REG_NAME_SIZE];
    DWORD size = sizeof name;
    FILETIME written;
    int empty = RegEnumKeyExA(key, 0, name, &size, 0, 0, 0, &written) == ERROR_NO_MORE_ITEMS;
    size = sizeof name;
    empty = empty && RegEnumValueA(key, 0, name, &size, 0, 0, 0, 0) == ERROR_NO_MORE_ITEMS;
    RegCloseKey(key);
    return empty;
}

int is_below_nocase(const char *path, const char *root) {
    size_t length = strlen(root);
    return strlen(path) > length && path[length] == '\\' && mb_prefix_equal_nocase(path, root, length);
}

}  // namespace

int is_driver_file_place(const run_record *record, const char *path, const char *file_name) {
    const char *const *folders = driver_file_folders(record->os_class);
    for (int i = 0; record->windows_dir[0] && folders[i]; ++i) {
        char folder[PATH_SIZE];
        char place[PATH_SIZE];
        if (text_join(folder, sizeof folder, record->windows_dir, "\\", folders[i]) &&
            text_join(place, sizeof place, folder, "\\", file_name) && mb_equal_nocase(place, path))
            return 1;
    }
    return 0;
}

int plan_file_is_vouched(const run_record *record, const char *path, const char **why) {
    if (file_is_gone(path)) {
        *why = "not there any more";
        return 1;
    }
    // The run hands its own program (and the companion its partner) to the restart last; a
    // run cut off after the product record went knows the install folder from the plan only.
    if ((record->own_path[0] && mb_equal_nocase(path, record->own_path)) ||
        (record->partner_path[0] && mb_equal_nocase(path, record->partner_path))) {
        *why = "the program of this run";
        return 1;
    }
    if (any_driver_file_place(record, path)) {
        *why = "a driver file of the product in its system folder";
        return 1;
    }
    char inf_path[PATH_SIZE];
    int is_twin = 0;
    if (inf_copy_of(record, path, inf_path, sizeof inf_path, &is_twin) &&
        ((is_twin && file_is_gone(inf_path)) || inf_is_products(record, inf_path))) {
        *why = is_twin ? "the PNF twin of an INF copy of the product" : "an INF copy of the product";
        return 1;
    }
    *why = "not the product's on this machine";
    return 0;
}

int plan_key_is_vouched(const run_record *record, const char *key_path, const char **why) {
    if (key_is_gone(key_path)) {
        *why = "not there any more";
        return 1;
    }
    if (key_is_emptied(key_path)) {
        *why = "an empty key, all that a cut-off deletion of its tree left";
        return 1;
    }
    if (record->os_class >= OS_FIRST_NT && is_below_nocase(key_path, SERVICES_KEY) &&
        service_loads_driver_file(key_path, record->profile->driver_files)) {
        *why = "a service whose ImagePath names a driver file of the product";
        return 1;
    }
    if (record->os_class < OS_FIRST_NT && is_below_nocase(key_path, CLASS_ROOT) &&
        driver_key_is_products(record, key_path)) {
        *why = "a driver key of the product";
        return 1;
    }
    *why = "not the product's on this machine";
    return 0;
}
