#include "registry_wide_api.h"

#include <cstring>

#include "code_page.h"
#include "registry_api.h"
#include "registry_handles.h"

using namespace sim;

namespace {

// The stored Unicode form of a value: a text planted as Unicode as it was stored, any other
// text as its ANSI bytes read as Unicode, other types as they are.
std::vector<uint8_t> stored_data(const RegValue &v) {
    bool text = v.type == REG_SZ || v.type == REG_EXPAND_SZ || v.type == REG_MULTI_SZ;
    if (!text) return v.data;
    if (!v.unicode_data.empty()) return v.unicode_data;
    std::u16string wide;
    ansi_to_unicode(std::string(v.data.begin(), v.data.end()), &wide);
    std::vector<uint8_t> out;
    for (char16_t c : wide) {
        out.push_back((uint8_t)(c & 0xFF));
        out.push_back((uint8_t)(c >> 8));
    }
    return out;
}

}  // namespace

LONG WINAPI RegQueryValueExW(HKEY key, LPCWSTR value_name, LPDWORD reserved, LPDWORD type,
                             LPBYTE data, LPDWORD data_size) {
    std::u16string wide_name;
    for (LPCWSTR c = value_name; c && *c; ++c) wide_name.push_back((char16_t)*c);
    std::string name = unicode_to_ansi(wide_name);
    OpenKey *open = resolve_key(key);
    record_call("RegQueryValueExW", (open ? open->key->path() : std::string("?")) + " " + name);
    if (!current_machine().is_nt()) return ERROR_CALL_NOT_IMPLEMENTED;
    if (!open) return ERROR_INVALID_HANDLE;
    if (open->key->deleted) return ERROR_KEY_DELETED;
    if (reserved || (data && !data_size)) return ERROR_INVALID_PARAMETER;
    if ((open->access & KEY_QUERY_VALUE) != KEY_QUERY_VALUE) return ERROR_ACCESS_DENIED;
    RegValue *v = open->key->value(name);
    if (!v || !has_exact_ansi_form(wide_name)) return ERROR_FILE_NOT_FOUND;
    DWORD error;
    if (current_machine().take_fault("RegQueryValueExW", open->key->path() + " " + v->name, &error))
        return (LONG)error;
    std::vector<uint8_t> stored = stored_data(*v);
    if (type) *type = v->type;
    DWORD size = (DWORD)stored.size();
    if (!data) {
        if (data_size) *data_size = size;
        return ERROR_SUCCESS;
    }
    if (*data_size < size) {
        memset(data, 0xCC, *data_size);
        *data_size = size;
        return ERROR_MORE_DATA;
    }
    if (size) memcpy(data, stored.data(), size);
    *data_size = size;
    return ERROR_SUCCESS;
}

LONG WINAPI RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_size, LPDWORD reserved,
                          LPWSTR class_name, LPDWORD class_size, PFILETIME last_write) {
    OpenKey *open = resolve_key(key);
    record_call("RegEnumKeyExW", (open ? open->key->path() : std::string("?")) + " " +
                                     std::to_string(index));
    if (!current_machine().is_nt()) return ERROR_CALL_NOT_IMPLEMENTED;
    if (!open) return ERROR_INVALID_HANDLE;
    if (open->key->deleted) return ERROR_KEY_DELETED;
    if (reserved || !name || !name_size) return ERROR_INVALID_PARAMETER;
    if ((open->access & KEY_ENUMERATE_SUB_KEYS) != KEY_ENUMERATE_SUB_KEYS) return ERROR_ACCESS_DENIED;
    RegKey *k = open->key;
    if (k->subkey_enum_fails_at >= 0 && (DWORD)k->subkey_enum_fails_at == index)
        return (LONG)k->subkey_enum_error;
    if (index >= k->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const RegKey &sub = *k->subkeys[index];
    std::u16string wide = sub.unicode_name;
    if (!sub.has_foreign_name()) ansi_to_unicode(sub.name, &wide);
    if (wide.size() + 1 > *name_size) return ERROR_MORE_DATA;
    for (size_t i = 0; i < wide.size(); ++i) name[i] = (WCHAR)wide[i];
    name[wide.size()] = 0;
    *name_size = (DWORD)wide.size();
    if (class_name && class_size && *class_size > 0) class_name[0] = 0;
    if (class_size) *class_size = 0;
    if (last_write) *last_write = FILETIME{0, 0};
    return ERROR_SUCCESS;
}
