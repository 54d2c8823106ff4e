#include "inventory/oem_records_9x.h"

#include "base/key_path.h"
#include "base/mbtext.h"
#include "base/path_text.h"
#include "base/reg_helpers.h"
#include "base/text_buffer.h"
#include "base/run_log.h"

namespace {

const char *const oem_name_key = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\SetupX\\INF\\OEM Name";
const char *const class_root = "System\\CurrentControlSet\\Services\\Class";

#define INF_PATH_SIZE 128

// A "Driver" text names "<class>\<instance>" below the class root. Anything else (empty,
// with an empty part, or a class name alone) would make the driver-key path name the class
// root or a whole device class, which these systems delete with every key below it.
int is_driver_key_name(const char *text) { return is_key_path_below(text, 2); }

int belongs_to_product(const run_record *record, const char *driver_key_path) {
    char marker_path[KEY_PATH_SIZE];
    if (compose_key_path(marker_path, driver_key_path, record->profile->product_guid) &&
        reg_key_exists(marker_path))
        return 1;
    char provider[REG_NAME_SIZE];
    if (!reg_read_string(driver_key_path, "ProviderName", provider, sizeof provider)) return 0;
    return !mb_equal_nocase(provider, "Microsoft");
}

}  // namespace

int scan_oem_name_values(run_record *record) {
    string_list_entry *names = 0;
    if (!reg_list_values(oem_name_key, &names)) return 0;
    char short_name[PATH_SIZE];
    if (text_copy(short_name, sizeof short_name, record->profile->short_name) && short_name[0]) {
        mb_lower(short_name);
        for (string_list_entry *n = names; n; n = n->next) {
            mb_lower(n->text);
            if (mb_find_text(n->text, short_name))
                if (push_value_pair(&record->values_to_delete, oem_name_key, n->text))
                    log_line("found value %s\\%s (an OEM INF name record holding %s)",
                             oem_name_key, n->text, record->profile->short_name);
        }
    }
    free_string_list(names);
    return 0;
}

int follow_driver_keys(run_record *record) {
    int queued_file = 0;
    char driver_key_path[KEY_PATH_SIZE];
    char inf_name[INF_PATH_SIZE];
    char inf_path[PATH_SIZE];
    for (const string_list_entry *c = record->class_keys; c; c = c->next) {
        if (!is_driver_key_name(c->text)) continue;
        if (!text_join(driver_key_path, sizeof driver_key_path, class_root, "\\", c->text))
            continue;
        push_string(&record->keys_to_delete, driver_key_path);
        log_line("found key %s (the Driver value of a device key of the product)",
                 driver_key_path);
        int has_inf = reg_read_string(driver_key_path, "InfPath", inf_name, sizeof inf_name);
        if (!belongs_to_product(record, driver_key_path)) continue;
        // The INF copy must be a bare file name inside inf\other: a name with a path part or
        // a drive would point the deletion at a file elsewhere.
        if (!has_inf || !is_bare_file_name(inf_name)) continue;
        if (!text_join(inf_path, sizeof inf_path, record->windows_dir, "\\inf\\other\\", inf_name))
            continue;
        if (push_string(&record->files_to_delete, inf_path)) {
            log_line("found file %s (InfPath of the driver key %s)", inf_path, driver_key_path);
            queued_file = 1;
        }
    }
    return queued_file;
}
