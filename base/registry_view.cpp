#include "base/registry_view.h"

#include "base/mbtext.h"

namespace {

// Set only by use_registry_view_of and read only by open_machine_key.
int g_32bit_software_view = 0;

int first_part_is_software(const char *path) {
    static const char software[] = "Software";
    const size_t length = sizeof software - 1;
    return mb_prefix_equal_nocase(path, software, length) &&
           (path[length] == '\0' || path[length] == '\\');
}

}  // namespace

void use_registry_view_of(const run_record *record) {
    g_32bit_software_view = record && record->companion;
}

LONG open_machine_key(const char *path, REGSAM access, HKEY *key) {
    return open_machine_subkey(HKEY_LOCAL_MACHINE, path, path, access, key);
}

LONG open_machine_subkey(HKEY parent, const char *parent_path, const char *name, REGSAM access,
                         HKEY *key) {
    if (g_32bit_software_view && parent_path && first_part_is_software(parent_path))
        access |= KEY_WOW64_32KEY;
    *key = 0;
    LONG rc = RegOpenKeyExA(parent, name, 0, access, key);
    if (rc != ERROR_SUCCESS) *key = 0;
    return rc;
}
