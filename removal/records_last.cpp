#include "removal/records_last.h"

#include "base/mbtext.h"
#include "removal/registry_deletion.h"

int is_record_key(const run_record *record, const char *key_path) {
    return (record->uninstall_key[0] && mb_equal_nocase(key_path, record->uninstall_key)) ||
           (record->product_key[0] && mb_equal_nocase(key_path, record->product_key));
}

void delete_records(const run_record *record) {
    if (record->product_key[0]) delete_key_tree(record->product_key);
    if (record->uninstall_key[0]) delete_key_tree(record->uninstall_key);
}
