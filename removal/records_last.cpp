#include "removal/records_last.h"

#include "base/mbtext.h"

int is_record_key(const run_record *record, const char *key_path) {
    return (record->uninstall_key[0] && mb_equal_nocase(key_path, record->uninstall_key)) ||
           (record->product_key[0] && mb_equal_nocase(key_path, record->product_key));
}

int delete_records(const run_record *record, int (*delete_key)(const char *key_path)) {
    int left = 0;
    if (record->product_key[0]) left += delete_key(record->product_key);
    if (record->uninstall_key[0]) left += delete_key(record->uninstall_key);
    return left;
}
