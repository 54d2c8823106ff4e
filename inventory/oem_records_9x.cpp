#include "inventory/oem_records_9x.h"

#include "base/key_path.h"
#include "base/mbtext.h"
#include "base/path_text.h"
#include "base/reg_helpers.h"
#include "base/registry_view.h"
#include "base/text_buffer.h"
#include "base/run_log.h"
#include "inventory/driver_key_inf.h"
#include "platform/win32.h"

namespace {

const char *const oem_name_key = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\SetupX\\INF\\OEM Name";
const char *const class_root = "System\\CurrentControlSet\\Services\\Class";

// A "Driver" text names "<class>\<instance>" below the class root. Anything else (empty,
// with an empty part, or a class name alone) would make the driver-key path name the class
// root or a whole device class, which these systems delete with every key below it.
int is_driver_key_name(const char *text) { return is_key_path_below(text, 2); }

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
    char inf_path[PATH_SIZE];
    for (const string_list_entry *c = record->class_keys; c; c = c->next) {
        if (!is_driver_key_name(c->text)) continue;
        if (!text_join(driver_key_path, sizeof driver_key_path, class_root, "\\", c->text))
            continue;
        // The driver key goes whatever it holds; its INF copy only when it is the product's.
        push_string(&record->keys_to_delete, driver_key_path);
        log_line("found key %s (the Driver value of a device key of the product)",
                 driver_key_path);
        HKEY driver_key;
        if (open_machine_key(driver_key_path, KEY_READ, &driver_key) !=
            ERROR_SUCCESS)
            continue;
        if (driver_key_inf(driver_key, INF_COPIES_9X, record->profile->product_guid,
                           record->windows_dir, inf_path, sizeof inf_path) &&
            push_string(&record->files_to_delete, inf_path)) {
            log_line("found file %s (InfPath of the driver key %s)", inf_path, driver_key_path);
            queued_file = 1;
        }
        RegCloseKey(driver_key);
    }
    return queued_file;
}
