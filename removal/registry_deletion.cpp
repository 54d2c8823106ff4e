#include "removal/registry_deletion.h"

#include <stdio.h>
#include <string.h>

#include "base/mbtext.h"
#include "base/registry_view.h"
#include "base/run_log.h"
#include "base/run_record.h"
#include "base/text_buffer.h"
#include "base/key_path.h"
#include "base/reg_helpers.h"
#include "platform/win32.h"
#include "removal/deletion_outcome.h"
#include "removal/key_security.h"

int key_is_present(const char *key_path) {
    HKEY key;
    LONG rc = open_machine_key(key_path, KEY_READ, &key);
    if (rc == ERROR_SUCCESS) RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_ACCESS_DENIED;
}

int value_is_present(const char *key_path, const char *value_name) {
    HKEY key;
    LONG rc = open_machine_key(key_path, KEY_QUERY_VALUE, &key);
    if (rc == ERROR_ACCESS_DENIED) return 1;
    if (rc != ERROR_SUCCESS) return 0;
    rc = RegQueryValueExA(key, value_name, 0, 0, 0, 0);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA;
}

namespace {

// The platform's error of a failed deletion, unless the item is not there at all.
deletion_outcome failed_unless_gone(LONG rc, int still_there) {
    if (still_there) return deletion_failed((unsigned long)rc);
    return registry_deletion_outcome(ERROR_FILE_NOT_FOUND);
}

// Only a path of non-empty parts is walked: "A\B\" or "A\\B" would otherwise name the
// parent "A\B" or "A" and take its whole tree, whoever queued the path.
LONG remove_key_tree(const char *key_path) {
    if (strlen(key_path) >= PATH_SIZE || !is_key_path_below(key_path, 1))
        return ERROR_INVALID_PARAMETER;

    string_list_entry *children = 0;
    int all_named;
    reg_list_named_subkeys(key_path, &children, &all_named);
    for (string_list_entry *child = children; child; child = child->next) {
        char child_path[PATH_SIZE];
        // A subkey whose path does not fit is left alone rather than cut into another name;
        // its parent then stays too on systems that refuse to delete a key with subkeys.
        if (compose_key_path(child_path, key_path, child->text)) remove_key_tree(child_path);
    }
    free_string_list(children);
    // A subkey that the ANSI functions cannot name cannot be deleted; the key stays with it.
    if (!all_named) return ERROR_INVALID_NAME;

    char parent[PATH_SIZE];
    text_copy(parent, sizeof parent, key_path);
    char *slash = mb_find_last_char(parent, '\\');
    if (!slash) return ERROR_INVALID_PARAMETER;  // a key directly under the root stays
    *slash = '\0';
    const char *name = slash + 1;

    HKEY parent_key;
    LONG rc = open_machine_key(parent, KEY_ALL_ACCESS, &parent_key);
    if (rc == ERROR_SUCCESS) {
        rc = RegDeleteKeyA(parent_key, name);
        RegCloseKey(parent_key);
    }
    return rc;
}

}  // namespace

deletion_outcome delete_key_tree(const char *key_path) {
    LONG rc = remove_key_tree(key_path);
    if (rc == ERROR_SUCCESS) return deletion_done();
    return failed_unless_gone(rc, key_is_present(key_path));
}

// The access list is replaced only when the old one is safely saved: a grant that could not
// be undone would leave the key open to every interactive user for good.
deletion_outcome delete_value_forced(const char *key_path, const char *value_name) {
    HKEY key = 0;
    LONG rc = open_machine_key(key_path, KEY_ALL_ACCESS, &key);
    if (rc != ERROR_SUCCESS && rc != ERROR_ACCESS_DENIED)
        return failed_unless_gone(rc, value_is_present(key_path, value_name));

    PSECURITY_DESCRIPTOR saved = 0;
    LONG deletion = ERROR_ACCESS_DENIED;  // stays when the access repair does not open the key
    if (rc == ERROR_ACCESS_DENIED) {
        key = 0;
        if (!save_key_security(key_path, &saved)) return deletion_failed(ERROR_ACCESS_DENIED);
        if (grant_key_access(key_path, KEY_ALL_ACCESS) &&
            open_machine_key(key_path, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            key = 0;
    }
    if (key) deletion = RegDeleteValueA(key, value_name);
    if (saved) {
        restore_key_security(key_path, saved);
        release_key_security(saved);
    }
    if (key) RegCloseKey(key);
    if (deletion == ERROR_SUCCESS) return deletion_done();
    return failed_unless_gone(deletion, value_is_present(key_path, value_name));
}

int usb_serial_flag_name(const char *device_id, char *name) {
    unsigned int vendor, product;
    // A vendor id alone names no product, hence no value.
    if (sscanf(device_id, "%04X/%04X", &vendor, &product) != 2) return 0;
    sprintf(name, "IgnoreHWSerNum%04X%04X", vendor & 0xFFFF, product & 0xFFFF);
    return 1;
}

// Only an existing UsbFlags key is opened: a machine without one has no values to clear, and
// the uninstaller leaves nothing behind that was not there.
int clear_usb_serial_flags(const string_list_entry *device_ids) {
    HKEY key;
    if (open_machine_key(USB_FLAGS_KEY, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    int cleared = 0;
    for (const string_list_entry *id = device_ids; id; id = id->next) {
        char name[SERIAL_FLAG_NAME_SIZE];
        if (!usb_serial_flag_name(id->text, name)) continue;
        deletion_outcome outcome = registry_deletion_outcome(RegDeleteValueA(key, name));
        if (outcome.result == DELETION_DONE) cleared = 1;
        // What stays is counted by the check after the removal.
        log_deletion("value", USB_FLAGS_KEY, outcome, name);
    }
    RegCloseKey(key);
    return cleared;
}
