#include "inventory/kept_plan.h"

#include <stdlib.h>
#include <string.h>

#include "base/mbtext.h"
#include "base/registry_view.h"
#include "inventory/finding_checks.h"
#include "platform/win32.h"

namespace {

int list_holds(const string_list_entry *list, const char *text) {
    for (; list; list = list->next)
        if (mb_equal_nocase(list->text, text)) return 1;
    return 0;
}

int pairs_hold(const value_pair_entry *list, const char *key_path, const char *value_name) {
    for (; list; list = list->next)
        if (mb_equal_nocase(list->key_path, key_path) && mb_equal_nocase(list->value_name, value_name))
            return 1;
    return 0;
}

// Pushes onto `to` every entry of `from` it does not hold yet. `from` was read in reverse, so
// walking it from its head restores the plan's own order.
void add_missing(const string_list_entry *from, string_list_entry **to) {
    for (; from; from = from->next)
        if (!list_holds(*to, from->text)) push_string(to, from->text);
}

void add_missing_pairs(const value_pair_entry *from, value_pair_entry **to) {
    for (; from; from = from->next)
        if (!pairs_hold(*to, from->key_path, from->value_name))
            push_value_pair(to, from->key_path, from->value_name);
}

// The record key that holds the plan: the uninstall record, else the product record.
int read_plan_of(const run_record *record, const char *key_path, kept_plan *plan) {
    HKEY key;
    if (!key_path[0] || RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path, 0,
                                       KEY_READ | software_view_access(key_path), &key) != ERROR_SUCCESS)
        return 0;
    // The NT family keeps a plan of any size: the buffer grows to the size the value tells,
    // with two terminators to spare behind the data.
    char *data = 0;
    DWORD type = 0;
    DWORD room = REMOVAL_PLAN_SIZE;
    DWORD size = 0;
    LONG rc = ERROR_OUTOFMEMORY;
    for (;;) {
        free(data);
        data = (char *)calloc(1, (size_t)room + 2);
        if (!data) break;
        size = room;
        rc = RegQueryValueExA(key, REMOVAL_PLAN_VALUE, 0, &type, (LPBYTE)data, &size);
        if (rc != ERROR_MORE_DATA || size <= room || size > 0x7FFFFFF0UL) break;
        room = size;
    }
    int read = data && rc == ERROR_SUCCESS && type == REG_MULTI_SZ;
    RegCloseKey(key);
    if (read) {
        plan->found = 1;
        parse_kept_plan(record, data, size, plan);
    }
    free(data);
    return read;
}

const char *file_name_of(const char *path) {
    const char *slash = mb_find_last_char(path, '\\');
    return slash ? slash + 1 : path;
}

}  // namespace

void parse_kept_plan(const run_record *record, const char *data, unsigned long size,
                        kept_plan *plan) {
    const char *value_key = 0;  // the key of a "V" entry, waiting for its "N"
    unsigned long at = 0;
    while (at < size && data[at]) {
        // An entry not terminated inside the data is not taken.
        const char *entry = data + at;
        const char *end = (const char *)memchr(entry, '\0', size - at);
        if (!end) return;
        at += (unsigned long)(end - entry) + 1;
        const char *text = entry + 1;
        switch (entry[0]) {
            case PLAN_FILE:
                if (strlen(text) < PATH_SIZE && is_full_file_path(text))
                    push_string(&plan->files_to_delete, text);
                break;
            case PLAN_KEY:
                if (is_product_key_path(record, text)) push_string(&plan->keys_to_delete, text);
                break;
            case PLAN_VALUE_KEY:
                value_key = text;
                continue;
            case PLAN_VALUE_NAME:
                if (value_key && is_product_value(record, value_key, text))
                    push_value_pair(&plan->values_to_delete, value_key, text);
                break;
            default:
                break;
        }
        value_key = 0;
    }
}

int read_kept_plan(const run_record *record, kept_plan *plan) {
    memset(plan, 0, sizeof *plan);
    return read_plan_of(record, record->uninstall_key, plan) ||
           read_plan_of(record, record->product_key, plan);
}

int plan_holds_file_named(const kept_plan *plan, const char *file_name) {
    for (const string_list_entry *f = plan->files_to_delete; f; f = f->next)
        if (mb_equal_nocase(file_name_of(f->text), file_name)) return 1;
    return 0;
}

void merge_kept_plan(kept_plan *plan, run_record *record) {
    add_missing(plan->files_to_delete, &record->files_to_delete);
    add_missing(plan->keys_to_delete, &record->keys_to_delete);
    add_missing_pairs(plan->values_to_delete, &record->values_to_delete);
    free_string_list(plan->files_to_delete);
    free_string_list(plan->keys_to_delete);
    free_value_pair_list(plan->values_to_delete);
    memset(plan, 0, sizeof *plan);
}
