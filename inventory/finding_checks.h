// The tests a finding passes before it is queued for deletion, shared by the inventory's own
// searches and by the removal plan a cut-off run left behind.
#ifndef K440_INVENTORY_FINDING_CHECKS_H
#define K440_INVENTORY_FINDING_CHECKS_H

#include "base/run_record.h"

#define OEM_NAME_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\SetupX\\INF\\OEM Name"

// A whole path from a drive root, written as Win32 reads it. Empty, with an empty part (a
// doubled, leading or trailing backslash), a bare name, a relative path ("drivers\x.sys" from
// a program started in system32) or a path that Win32 rewrites ("...\K440dT\..\..\x.sys")
// names no file the product placed, and the deletion would aim at a folder or at whatever the
// text resolves to.
int is_full_file_path(const char *path);

// The key an entry of the profile's extra key list names on this family, or 0 when the entry
// is for the other one: "-" marks a key of Windows 98/ME only, "+" one of the NT family only.
const char *extra_key_on_family(const char *entry, int os_class);

// 1 for a key the inventory itself could queue on this family: a service key
// (Services\<name>) on the NT family; a device key below "Enum" (one or two levels) or a
// driver key (Services\Class\<class>\<instance>) on Windows 98/ME; or one of the profile's
// extra keys for this family.
int is_product_key_path(const run_record *record, const char *key_path);

// 1 for a value the inventory itself could queue: an "OEM Name" record (Windows 98/ME) whose
// name holds the profile's short name.
int is_product_value(const run_record *record, const char *key_path, const char *value_name);

#endif
