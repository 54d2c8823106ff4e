#include "removal/name_list_values.h"

#include <stdlib.h>
#include <string.h>

#include "base/mbtext.h"
#include "base/registry_view.h"
#include "base/run_log.h"

int entry_is_name(const char *entry, const char *name) { return mb_equal_nocase(entry, name); }

int entry_is_dll(const char *entry, const char *name) {
    const char *comma = mb_find_char(entry, ',');
    size_t length = comma ? (size_t)(comma - entry) : strlen(entry);
    return length == strlen(name) && mb_prefix_equal_nocase(entry, name, length);
}

int list_without(const char *data, DWORD size, entry_names names, const char *name, char *out,
                 DWORD *out_size) {
    int left_out = 0;
    DWORD written = 0;
    DWORD at = 0;
    while (at < size && data[at]) {
        DWORD length = 0;
        while (at + length < size && data[at + length]) ++length;
        // The entry as a terminated text, also when the value lacks its terminator.
        memcpy(out + written, data + at, length);
        out[written + length] = '\0';
        if (names(out + written, name))
            ++left_out;
        else
            written += length + 1;
        at += length + 1;
    }
    out[written] = '\0';
    *out_size = written ? written + 1 : 0;
    return left_out;
}

namespace {

// The value's data, read whole into storage the caller frees; 0 when it is no list.
char *read_list(HKEY key, const char *value_name, DWORD *size) {
    DWORD type = 0;
    *size = 0;
    if (RegQueryValueExA(key, value_name, 0, &type, 0, size) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ)
        return 0;
    char *data = static_cast<char *>(malloc(*size + 1));
    if (data && RegQueryValueExA(key, value_name, 0, &type, (BYTE *)data, size) != ERROR_SUCCESS) {
        free(data);
        data = 0;
    }
    return data;
}

LONG write_list(const char *key_path, const char *value_name, const char *list, DWORD size) {
    HKEY key;
    LONG rc = open_machine_key(key_path, KEY_SET_VALUE, &key);
    if (rc != ERROR_SUCCESS) return rc;
    rc = size ? RegSetValueExA(key, value_name, 0, REG_MULTI_SZ, (const BYTE *)list, size)
              : RegDeleteValueA(key, value_name);
    RegCloseKey(key);
    return rc;
}

}  // namespace

unsigned long take_name_out_of_value(const char *key_path, const char *value_name,
                                     entry_names names, const char *name, int plan_only) {
    HKEY key;
    if (open_machine_key(key_path, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
    DWORD size;
    char *data = read_list(key, value_name, &size);
    RegCloseKey(key);
    if (!data) return 0;
    char *list = static_cast<char *>(malloc(size + 2));
    DWORD list_size = 0;
    // Without storage for the edit the list may still name it: the item must stay.
    LONG rc = list ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY;
    if (list && list_without(data, size, names, name, list, &list_size)) {
        if (plan_only)
            log_line("plan: take %s out of value %s\\%s", name, key_path, value_name);
        else if ((rc = write_list(key_path, value_name, list, list_size)) == ERROR_SUCCESS)
            log_line("edit value %s\\%s: took out %s%s", key_path, value_name, name,
                     list_size ? "" : ", no entry left, value deleted");
    }
    if (rc != ERROR_SUCCESS) {
        char failure[FAILURE_TEXT_SIZE];
        log_line("edit value %s\\%s: %s, still names %s", key_path, value_name,
                 failure_text((unsigned long)rc, failure), name);
    }
    free(list);
    free(data);
    return (unsigned long)rc;
}
