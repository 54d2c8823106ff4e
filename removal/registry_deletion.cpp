#include "removal/registry_deletion.h"

#include <stdio.h>
#include <string.h>

#include "base/key_path.h"
#include "base/mbtext.h"
#include "base/reg_helpers.h"
#include "base/run_record.h"
#include "base/text_buffer.h"
#include "platform/win32.h"
#include "removal/key_security.h"

#define USB_FLAGS_KEY "System\\CurrentControlSet\\Control\\UsbFlags"
#define SERIAL_FLAG_NAME_SIZE 32

// Only a path of non-empty parts is walked: "A\B\" or "A\\B" would otherwise name the
// parent "A\B" or "A" and take its whole tree, whoever queued the path.
int delete_key_tree(const char *key_path) {
    if (strlen(key_path) >= PATH_SIZE || !is_key_path_below(key_path, 1)) return 0;

    string_list_entry *children = 0;
    int all_named;
    reg_list_named_subkeys(key_path, &children, &all_named);
    for (string_list_entry *child = children; child; child = child->next) {
        char child_path[PATH_SIZE];
        // A subkey whose path does not fit is left alone rather than cut into another name;
        // its parent then stays too on systems that refuse to delete a key with subkeys.
        if (compose_key_path(child_path, key_path, child->text)) delete_key_tree(child_path);
    }
    free_string_list(children);
    // A subkey that the ANSI functions cannot name cannot be deleted; the key stays with it.
    if (!all_named) return 0;

    char parent[PATH_SIZE];
    text_copy(parent, sizeof parent, key_path);
    char *slash = mb_find_last_char(parent, '\\');
    if (!slash) return 0;  // a key directly under the root is never deleted
    *slash = '\0';
    const char *name = slash + 1;

    HKEY parent_key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent, 0, KEY_ALL_ACCESS, &parent_key) != ERROR_SUCCESS)
        return 0;
    int deleted = RegDeleteKeyA(parent_key, name) == ERROR_SUCCESS;
    RegCloseKey(parent_key);
    return deleted;
}

int delete_listed_values(const value_pair_entry *values) {
    int all_deleted = 1;
    for (const value_pair_entry *entry = values; entry; entry = entry->next)
        all_deleted = reg_delete_value_forced(entry->key_path, entry->value_name) && all_deleted;
    return all_deleted;
}

// The access list is replaced only when the old one is safely saved: a grant that could not
// be undone would leave the key open to every interactive user for good.
int reg_delete_value_forced(const char *key_path, const char *value_name) {
    HKEY key = 0;
    LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path, 0, KEY_ALL_ACCESS, &key);
    if (rc != ERROR_SUCCESS && rc != ERROR_ACCESS_DENIED) return 0;

    PSECURITY_DESCRIPTOR saved = 0;
    int deleted = 0;
    if (rc == ERROR_ACCESS_DENIED) {
        key = 0;
        if (!save_key_security(key_path, &saved)) return 0;
        if (grant_key_access(key_path, KEY_ALL_ACCESS) &&
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            key = 0;
    }
    if (key) deleted = reg_delete_value_at(key, value_name);
    if (saved) {
        restore_key_security(key_path, saved);
        release_key_security(saved);
    }
    if (key) RegCloseKey(key);
    return deleted;
}

// Only an existing UsbFlags key is opened: a machine without one has no values to clear, and
// the uninstaller leaves nothing behind that was not there.
int clear_usb_serial_flags(const string_list_entry *device_ids) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, USB_FLAGS_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    int cleared = 0;
    for (const string_list_entry *id = device_ids; id; id = id->next) {
        unsigned int vendor, product;
        // A vendor id alone names no product, hence no value.
        if (sscanf(id->text, "%04X/%04X", &vendor, &product) != 2) continue;
        char name[SERIAL_FLAG_NAME_SIZE];
        sprintf(name, "IgnoreHWSerNum%04X%04X", vendor & 0xFFFF, product & 0xFFFF);
        if (RegDeleteValueA(key, name) == ERROR_SUCCESS) cleared = 1;
    }
    RegCloseKey(key);
    return cleared;
}
