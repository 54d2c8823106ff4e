#include "removal/kept_plan_writer.h"

#include <stdlib.h>
#include <string.h>

#include "base/kept_plan_format.h"
#include "base/os_class.h"
#include "base/registry_view.h"
#include "platform/win32.h"
#include "removal/records_last.h"
#include "removal/run_programs.h"

namespace {

// Windows 98/ME keep no larger value; the NT family keeps large values (Windows 2000 up to
// 1 MB, later versions as much as memory allows) and refuses a larger one whole.
const unsigned long nt_plan_limit = 0x7FFFFFF0UL;

struct plan_text {
    char *data;  // 0 while the plan is only measured
    unsigned long used;
    unsigned long limit;
    int fits;
};

void add_entry(plan_text *plan, char kind, const char *text) {
    unsigned long length = (unsigned long)strlen(text) + 2;  // kind and terminator
    if (!plan->fits || plan->used + length + 1 > plan->limit) {
        plan->fits = 0;
        return;
    }
    if (plan->data) {
        plan->data[plan->used] = kind;
        memcpy(plan->data + plan->used + 1, text, length - 1);
    }
    plan->used += length;
}

// A program file of the run that the sweep hands to the restart after the records: a rerun
// that finds the product record gone (and with it the install folder) still hands it over.
void add_program(plan_text *plan, const run_record *record, const char *path) {
    if (path[0] && sweep_reaches(record, path)) add_entry(plan, PLAN_FILE, path);
}

void add_list(plan_text *plan, char kind, const string_list_entry *list) {
    for (; list; list = list->next) add_entry(plan, kind, list->text);
}

int write_plan_into(const char *key_path, const char *data, unsigned long size) {
    HKEY key;
    if (!key_path[0] ||
        open_machine_key(key_path, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    int written = RegSetValueExA(key, REMOVAL_PLAN_VALUE, 0, REG_MULTI_SZ, (const BYTE *)data,
                                 (DWORD)size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

}  // namespace

unsigned long compose_kept_plan(const run_record *record, char *data) {
    unsigned long limit = record->os_class >= OS_FIRST_NT ? nt_plan_limit : REMOVAL_PLAN_SIZE;
    plan_text plan = {data, 0, limit, 1};
    add_list(&plan, PLAN_FILE, record->files_to_delete);
    add_program(&plan, record, record->own_path);
    add_program(&plan, record, record->partner_path);
    for (const string_list_entry *key = record->keys_to_delete; key; key = key->next)
        if (!is_record_key(record, key->text)) add_entry(&plan, PLAN_KEY, key->text);
    for (const value_pair_entry *value = record->values_to_delete; value; value = value->next) {
        add_entry(&plan, PLAN_VALUE_KEY, value->key_path);
        add_entry(&plan, PLAN_VALUE_NAME, value->value_name);
    }
    if (!plan.fits) return 0;
    if (data) data[plan.used] = '\0';  // the list's closing empty string
    return plan.used + 1;
}

int write_kept_plan(const run_record *record) {
    if (!record->uninstall_key[0] && !record->product_key[0]) return 0;
    unsigned long size = compose_kept_plan(record, 0);
    char *data = size ? (char *)malloc(size) : 0;
    if (!data) return 0;
    compose_kept_plan(record, data);
    int written = write_plan_into(record->uninstall_key, data, size) ||
                  write_plan_into(record->product_key, data, size);
    free(data);
    return written;
}
