// Registry deletion under HKEY_LOCAL_MACHINE: whole key trees, single values (with access
// repair for a key that denies the user) and the UsbFlags values of the product's devices.
#ifndef K440_REMOVAL_REGISTRY_DELETION_H
#define K440_REMOVAL_REGISTRY_DELETION_H

#include "base/string_list.h"
#include "removal/deletion_outcome.h"

// Deletes the key's subkeys depth first, then the key. A path that is empty, does not fit a
// path buffer, or has a leading, doubled or trailing backslash is refused as a whole
// (ERROR_INVALID_PARAMETER). A key holding a subkey whose name the ANSI functions cannot reach
// (a Unicode name the code page cannot hold) stays, and so do its parents (ERROR_INVALID_NAME).
deletion_outcome delete_key_tree(const char *key_path);
// Deletes one value; on ERROR_ACCESS_DENIED opens the key's access list for the deletion and
// puts it back afterwards.
deletion_outcome delete_value_forced(const char *key_path, const char *value_name);

// 1 when the key exists, also when it refuses to be opened.
int key_is_present(const char *key_path);
// 1 when the value exists, or when its key exists but refuses to be read.
int value_is_present(const char *key_path, const char *value_name);
// The UsbFlags value name of a "VVVV/PPPP" device id into `name` (SERIAL_FLAG_NAME_SIZE
// bytes); 0 for an id without a product part.
#define USB_FLAGS_KEY "System\\CurrentControlSet\\Control\\UsbFlags"
#define SERIAL_FLAG_NAME_SIZE 32
int usb_serial_flag_name(const char *device_id, char *name);
// Deletes the "IgnoreHWSerNum" values of the device ids under UsbFlags; 1 when at least one
// was deleted.
int clear_usb_serial_flags(const string_list_entry *device_ids);

#endif
