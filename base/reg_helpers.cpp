#include "base/reg_helpers.h"

#include <string.h>

#include "base/reg_text.h"
#include "base/registry_view.h"
#include "base/unicode_text.h"

namespace {

typedef int (*listing_at)(HKEY, string_list_entry **);

int list_under(const char *path, string_list_entry **list, listing_at lister) {
    HKEY key;
    if (open_machine_key(path, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    int added = lister(key, list);
    RegCloseKey(key);
    return added;
}

typedef LONG(WINAPI *enum_key_wide)(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD,
                                    PFILETIME);

enum { KEYS_LISTED, NO_UNICODE_NAMES };

// The NT family keeps key names in Unicode and RegEnumKeyExA hands back a best-fit look-alike
// for a name the code page cannot hold: another key's name, or with a backslash a deeper
// path. Such a name cannot reach its key through the ANSI functions and is left out.
int visit_wide_subkeys(HKEY key, subkey_visit visit, void *context, int *all_named) {
    enum_key_wide enumerate =
        reinterpret_cast<enum_key_wide>(system_function("advapi32.dll", "RegEnumKeyExW"));
    if (!enumerate) return NO_UNICODE_NAMES;
    WCHAR wide[REG_NAME_SIZE];
    char name[REG_NAME_SIZE];
    for (DWORD index = 0;; ++index) {
        DWORD size = REG_NAME_SIZE;
        FILETIME written;
        LONG rc = enumerate(key, index, wide, &size, 0, 0, 0, &written);
        if (rc == ERROR_CALL_NOT_IMPLEMENTED && index == 0) return NO_UNICODE_NAMES;
        if (rc != ERROR_SUCCESS) break;
        if (exact_ansi_form(wide, name, sizeof name))
            visit(key, name, context);
        else
            *all_named = 0;
    }
    return KEYS_LISTED;
}

// Windows 98/ME stores key names in ANSI.
void visit_narrow_subkeys(HKEY key, subkey_visit visit, void *context) {
    char name[REG_NAME_SIZE];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        FILETIME written;
        if (RegEnumKeyExA(key, index, name, &size, 0, 0, 0, &written) != ERROR_SUCCESS) break;
        visit(key, name, context);
    }
}

int visit_subkeys(HKEY key, subkey_visit visit, void *context) {
    int all_named = 1;
    if (visit_wide_subkeys(key, visit, context, &all_named) == NO_UNICODE_NAMES)
        visit_narrow_subkeys(key, visit, context);
    return all_named;
}

struct name_listing {
    string_list_entry **list;
    int added;
};

void push_subkey_name(HKEY, const char *name, void *context) {
    name_listing *listing = static_cast<name_listing *>(context);
    if (push_string(listing->list, name)) listing->added = 1;
}

int list_subkeys(HKEY key, string_list_entry **list, int *all_named) {
    name_listing listing = {list, 0};
    *all_named = visit_subkeys(key, push_subkey_name, &listing);
    return listing.added;
}

}  // namespace

void reg_visit_subkeys_at(HKEY key, subkey_visit visit, void *context) {
    visit_subkeys(key, visit, context);
}

int reg_list_subkeys_at(HKEY key, string_list_entry **list) {
    int all_named;
    return list_subkeys(key, list, &all_named);
}

// A value name too long for the buffer is passed over (never cut into another name); any
// error other than that ends the listing.
int reg_list_values_at(HKEY key, string_list_entry **list) {
    int added = 0;
    char name[REG_NAME_SIZE];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        LONG rc = RegEnumValueA(key, index, name, &size, 0, 0, 0, 0);
        if (rc == ERROR_MORE_DATA) continue;
        if (rc != ERROR_SUCCESS) break;
        if (push_string(list, name)) added = 1;
    }
    return added;
}

int reg_list_subkeys(const char *path, string_list_entry **list) {
    return list_under(path, list, reg_list_subkeys_at);
}

int reg_list_named_subkeys(const char *path, string_list_entry **list, int *all_named) {
    *all_named = 1;
    HKEY key;
    if (open_machine_key(path, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    int added = list_subkeys(key, list, all_named);
    RegCloseKey(key);
    return added;
}

int reg_list_values(const char *path, string_list_entry **list) {
    return list_under(path, list, reg_list_values_at);
}

int reg_read_ansi_string_at(HKEY key, const char *value_name, char *buffer, DWORD size) {
    DWORD type = 0;
    DWORD read = size;
    LONG rc = RegQueryValueExA(key, value_name, 0, &type, (LPBYTE)buffer, &read);
    if (rc == ERROR_SUCCESS && read <= size &&
        (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) &&
        terminate_whole_text(buffer, read, size))
        return 1;
    if (size) buffer[0] = '\0';
    return 0;
}

int reg_read_string_at(HKEY key, const char *value_name, char *buffer, DWORD size) {
    if (reg_read_ansi_string_at(key, value_name, buffer, size) &&
        text_reads_as_stored(key, value_name, buffer, size))
        return 1;
    if (size) buffer[0] = '\0';
    return 0;
}

int reg_read_string(const char *path, const char *value_name, char *buffer, DWORD size) {
    HKEY key;
    if (open_machine_key(path, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    int done = reg_read_string_at(key, value_name, buffer, size);
    RegCloseKey(key);
    return done;
}

int reg_key_exists(const char *path) {
    HKEY key;
    if (open_machine_key(path, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

int reg_write_string_at(HKEY key, const char *value_name, const char *text) {
    DWORD size = (DWORD)strlen(text) + 1;
    return RegSetValueExA(key, value_name, 0, REG_SZ, (const BYTE *)text, size) == ERROR_SUCCESS;
}

int reg_write_string(const char *path, const char *value_name, const char *text) {
    HKEY key;
    if (open_machine_key(path, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 0;
    int done = reg_write_string_at(key, value_name, text);
    RegCloseKey(key);
    return done;
}

int reg_delete_value_at(HKEY key, const char *value_name) {
    return RegDeleteValueA(key, value_name) == ERROR_SUCCESS;
}
