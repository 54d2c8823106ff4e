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
#include "removal/key_security.h"


// Only a path of non-empty parts is walked: "A\B\" or "A\\B" would otherwise name the
// parent "A\B" or "A" and take its whole tree, whoever queued the path.
int delete_key_tree(const char *key_path) {
    if (strlen(key_path) >= PATH_SIZE || !is_key_path_below(key_path, 1)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }

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
    if (!all_named) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }

    char parent[PATH_SIZE];
    text_copy(parent, sizeof parent, key_path);
    char *slash = mb_find_last_char(parent, '\\');
    if (!slash) {  // a key directly under the root is never deleted
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    *slash = '\0';
    const char *name = slash + 1;

    HKEY parent_key;
    LONG rc = open_machine_key(parent, KEY_ALL_ACCESS, &parent_key);
    if (rc == ERROR_SUCCESS) {
        rc = RegDeleteKeyA(parent_key, name);
        RegCloseKey(parent_key);
    }
    if (rc != ERROR_SUCCESS) SetLastError((DWORD)rc);
    return rc == ERROR_SUCCESS;
}

// The access list is replaced only when the old one is safely saved: a grant that could not
// be undone would leave the key open to every interactive user for good.
int reg_delete_value_forced(const char *key_path, const char *value_name) {
    HKEY key = 0;
    LONG rc = open_machine_key(key_path, KEY_ALL_ACCESS, &key);
    if (rc != ERROR_SUCCESS && rc != ERROR_ACCESS_DENIED) {
        SetLastError((DWORD)rc);
        return 0;
    }

    PSECURITY_DESCRIPTOR saved = 0;
    int deleted = 0;
    DWORD error = ERROR_ACCESS_DENIED;  // stays when the access repair does not open the key
    if (rc == ERROR_ACCESS_DENIED) {
        key = 0;
        if (!save_key_security(key_path, &saved)) {
            SetLastError(error);
            return 0;
        }
        if (grant_key_access(key_path, KEY_ALL_ACCESS) &&
            open_machine_key(key_path, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            key = 0;
    }
    if (key) {
        LONG deletion = RegDeleteValueA(key, value_name);
        deleted = deletion == ERROR_SUCCESS;
        error = (DWORD)deletion;
    }
    if (saved) {
        restore_key_security(key_path, saved);
        release_key_security(saved);
    }
    if (key) RegCloseKey(key);
    if (!deleted) SetLastError(error);
    return deleted;
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
        LONG rc = RegDeleteValueA(key, name);
        if (rc == ERROR_SUCCESS) cleared = 1;
        char failure[FAILURE_TEXT_SIZE];
        log_line("delete value %s\\%s: %s", USB_FLAGS_KEY, name,
                 rc == ERROR_SUCCESS ? "removed"
                 : rc == ERROR_FILE_NOT_FOUND ? "not there"
                                              : failure_text((unsigned long)rc, failure));
    }
    RegCloseKey(key);
    return cleared;
}
