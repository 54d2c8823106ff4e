#include "inventory/finding_checks.h"

#include <string.h>

#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/path_text.h"
#include "base/text_buffer.h"
#include "base/key_path.h"
#include "inventory/service_keys.h"

namespace {

int key_parts(const char *key_path) {
    int parts = 1;
    for (const char *c = mb_find_char(key_path, '\\'); c; c = mb_find_char(c + 1, '\\')) ++parts;
    return parts;
}

// `key_path` lies below `root` ("A\B") with exactly `min_parts`..`max_parts` parts in all.
int is_below(const char *key_path, const char *root, int min_parts, int max_parts) {
    size_t length = strlen(root);
    if (strlen(key_path) <= length || key_path[length] != '\\') return 0;
    if (!mb_prefix_equal_nocase(key_path, root, length)) return 0;
    int parts = key_parts(key_path);
    return parts >= min_parts && parts <= max_parts;
}

int is_extra_key(const run_record *record, const char *key_path) {
    text_list keys = record->profile->extra_keys;
    for (int i = 0; keys && keys[i]; ++i) {
        const char *key = extra_key_on_family(keys[i], record->os_class);
        if (key && mb_equal_nocase(key, key_path)) return 1;
    }
    return 0;
}

}  // namespace

const char *extra_key_on_family(const char *entry, int os_class) {
    if (entry[0] != '-' && entry[0] != '+') return entry;
    int nt = os_class >= OS_FIRST_NT;
    return (entry[0] == '+') == (nt != 0) ? entry + 1 : 0;
}

int is_full_file_path(const char *path) {
    return starts_at_a_drive_root(path) && is_key_path_below(path, 2) && reads_as_written(path);
}

int is_product_key_path(const run_record *record, const char *key_path) {
    if (strlen(key_path) >= PATH_SIZE || !is_key_path_below(key_path, 2)) return 0;
    if (is_extra_key(record, key_path)) return 1;
    if (record->os_class >= OS_FIRST_NT) return is_below(key_path, SERVICES_KEY, 4, 4);
    return is_below(key_path, "Enum", 2, 3) ||
           is_below(key_path, "System\\CurrentControlSet\\Services\\Class", 6, 6);
}

int is_product_value(const run_record *record, const char *key_path, const char *value_name) {
    if (record->os_class >= OS_FIRST_NT || !mb_equal_nocase(key_path, OEM_NAME_KEY)) return 0;
    char name[LIST_TEXT_SIZE];
    char short_name[PATH_SIZE];
    if (!text_copy(name, sizeof name, value_name) ||
        !text_copy(short_name, sizeof short_name, record->profile->short_name) || !short_name[0])
        return 0;
    mb_lower(name);
    mb_lower(short_name);
    return mb_find_text(name, short_name) != 0;
}
