#include "inventory/kept_plan.h"

#include <stdlib.h>
#include <string.h>

#include "base/mbtext.h"
#include "base/registry_view.h"
#include "base/run_log.h"
#include "base/unicode_text.h"
#include "inventory/finding_checks.h"
#include "inventory/kept_plan_checks.h"
#include "inventory/set_aside_files.h"
#include "platform/win32.h"

namespace {

int pairs_hold(const value_pair_entry *list, const char *key_path, const char *value_name) {
    for (; list; list = list->next)
        if (mb_equal_nocase(list->key_path, key_path) && mb_equal_nocase(list->value_name, value_name))
            return 1;
    return 0;
}

typedef int (*vouching)(const run_record *record, const char *text, const char **why);

// Adds each plan entry of a kind ("file", "key") that the fresh inventory did not find and
// the machine vouches for. `from` was read in reverse, so walking it from its head restores
// the plan's own order.
void add_vouched(const run_record *record, const char *kind, vouching vouched,
                 const string_list_entry *from, string_list_entry **to) {
    for (; from; from = from->next) {
        if (string_list_holds(*to, from->text)) continue;
        const char *why = 0;
        if (!vouched(record, from->text, &why))
            log_line("refused %s %s of the removal plan: %s", kind, from->text, why);
        else if (push_string(to, from->text))
            log_line("found %s %s (the removal plan; %s)", kind, from->text, why);
    }
}

// An "OEM Name" record holding the product's short name is the product's wherever it is.
void add_missing_pairs(const value_pair_entry *from, value_pair_entry **to) {
    for (; from; from = from->next)
        if (!pairs_hold(*to, from->key_path, from->value_name) &&
            push_value_pair(to, from->key_path, from->value_name))
            log_line("found value %s\\%s (the removal plan)", from->key_path, from->value_name);
}

typedef LONG(WINAPI *query_value_wide)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);

// An entry that is not exactly its stored text stands as an entry of no kind: it is not
// taken, and a value name after it finds no key.
const char refused_entry[] = "?";

// Copies the stored entries into `out` (room for every entry), each whole with its own
// terminator; the list's closing empty string ends the copy. Returns the bytes written.
unsigned long copy_wide_entries(const WCHAR *wide, size_t units, char *out) {
    unsigned long used = 0;
    size_t at = 0;
    while (at < units && wide[at]) {
        size_t length = 0;
        while (at + length < units && wide[at + length]) ++length;
        if (at + length == units) break;  // not terminated inside the value
        char entry[LIST_TEXT_SIZE + 1];
        const char *text = exact_ansi_form(wide + at, entry, sizeof entry) ? entry : refused_entry;
        size_t bytes = strlen(text) + 1;
        memcpy(out + used, text, bytes);
        used += (unsigned long)bytes;
        at += length + 1;
    }
    return used;
}

// The NT family keeps the plan in Unicode, and RegQueryValueExA hands back best-fit look-alikes
// (under code page 932 U+00A5 reads as a backslash) and adds a terminator the data lacks; so
// the value is read as stored. 1 with the entries in *data (allocated), -1 where the platform
// keeps ANSI texts (Windows 98/ME), 0 when there is no plan to read.
int read_stored_plan(HKEY key, char **data, DWORD *size) {
    query_value_wide query =
        reinterpret_cast<query_value_wide>(system_function("advapi32.dll", "RegQueryValueExW"));
    if (!query) return -1;
    static const WCHAR name[] = {'R', 'e', 'm', 'o', 'v', 'a', 'l', 'P', 'l', 'a', 'n', 0};
    DWORD type = 0;
    DWORD bytes = 0;
    LONG rc = query(key, name, 0, &type, 0, &bytes);
    if (rc == ERROR_CALL_NOT_IMPLEMENTED) return -1;
    if (rc != ERROR_SUCCESS || type != REG_MULTI_SZ || bytes > REMOVAL_PLAN_READ_LIMIT) return 0;
    WCHAR *wide = (WCHAR *)calloc(1, bytes + sizeof(WCHAR));
    // Each Unicode unit becomes at most two bytes, each entry "?" at the least.
    *data = (char *)calloc(1, bytes + 2);
    int read = wide && *data && query(key, name, 0, &type, (LPBYTE)wide, &bytes) == ERROR_SUCCESS &&
               type == REG_MULTI_SZ;
    if (read) *size = copy_wide_entries(wide, bytes / sizeof(WCHAR), *data);
    free(wide);
    if (!read) {
        free(*data);
        *data = 0;
    }
    return read;
}

// Windows 98/ME store the ANSI text as it is.
int read_ansi_plan(HKEY key, char **data, DWORD *size) {
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExA(key, REMOVAL_PLAN_VALUE, 0, &type, 0, &bytes) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ || bytes > REMOVAL_PLAN_READ_LIMIT)
        return 0;
    *data = (char *)calloc(1, bytes + 1);
    int read = *data && RegQueryValueExA(key, REMOVAL_PLAN_VALUE, 0, &type, (LPBYTE)*data,
                                         &bytes) == ERROR_SUCCESS && type == REG_MULTI_SZ;
    if (read) *size = bytes;
    return read;
}

// The record key that holds the plan: the uninstall record, else the product record.
int read_plan_of(const run_record *record, const char *key_path, kept_plan *plan) {
    HKEY key;
    if (!key_path[0] || open_machine_key(key_path, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    char *data = 0;
    DWORD size = 0;
    int read = read_stored_plan(key, &data, &size);
    if (read < 0) read = read_ansi_plan(key, &data, &size);
    RegCloseKey(key);
    if (read) {
        plan->found = 1;
        log_line("found a removal plan in %s (kept by a run that did not finish)", key_path);
        parse_kept_plan(record, data, size, plan);
    }
    free(data);
    return read;
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
                else
                    log_line("refused file %s of the removal plan: no whole path", text);
                break;
            case PLAN_KEY:
                if (is_product_key_path(record, text))
                    push_string(&plan->keys_to_delete, text);
                else
                    log_line("refused key %s of the removal plan: no place of the product's keys",
                             text);
                break;
            case PLAN_VALUE_KEY:
                value_key = text;
                continue;
            case PLAN_VALUE_NAME:
                if (value_key && is_product_value(record, value_key, text))
                    push_value_pair(&plan->values_to_delete, value_key, text);
                else
                    log_line("refused value %s of the removal plan: no record of the product",
                             text);
                break;
            default:
                log_line("refused an entry of the removal plan: %s",
                         entry[0] == refused_entry[0] ? "its stored text reads as another here"
                                                      : "of no known kind");
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

int plan_holds_driver_file(const kept_plan *plan, const run_record *record,
                           const char *file_name) {
    for (const string_list_entry *f = plan->files_to_delete; f; f = f->next)
        if (is_driver_file_place(record, f->text, file_name)) return 1;
    return 0;
}

void merge_kept_plan(kept_plan *plan, run_record *record) {
    add_vouched(record, "file", plan_file_is_vouched, plan->files_to_delete,
                &record->files_to_delete);
    // Files are set aside only where a kept plan lists files: a first run has none to find.
    if (plan->files_to_delete) add_set_aside_files(record);
    add_vouched(record, "key", plan_key_is_vouched, plan->keys_to_delete, &record->keys_to_delete);
    add_missing_pairs(plan->values_to_delete, &record->values_to_delete);
    free_string_list(plan->files_to_delete);
    free_string_list(plan->keys_to_delete);
    free_value_pair_list(plan->values_to_delete);
    memset(plan, 0, sizeof *plan);
}
