// The registry functions of the simulated platform. Key and value names compare without
// regard to case, subkeys and values enumerate in creation order, values keep their type and
// raw bytes. On the NT family every open is checked against the key's access list.
#include "registry_api.h"

#include <cstring>

#include "mbcs.h"
#include "registry_handles.h"
#include "system_api.h"
#include "wow64_view.h"

using namespace sim;

namespace {

std::string join(const std::string &base, const char *sub) {
    if (!sub || !*sub) return base;
    return base.empty() ? std::string(sub) : base + "\\" + sub;
}

// Walks a subkey path below a key. A trailing backslash is tolerated, as the platform does;
// an empty component elsewhere names no key.
LONG walk(RegKey *base, const char *sub, RegKey **out) {
    RegKey *key = base;
    std::string path = sub ? sub : "";
    if (!path.empty() && path[0] == '\\') return ERROR_BAD_PATHNAME;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = start;
        while (end < path.size() && path[end] != '\\') end += char_length(path.c_str() + end);
        std::string part = path.substr(start, end - start);
        if (part.empty()) return ERROR_FILE_NOT_FOUND;
        key = key->child(part);
        if (!key) return ERROR_FILE_NOT_FOUND;
        start = end + 1;
    }
    *out = key;
    return ERROR_SUCCESS;
}

// Paths from the root follow the process's registry view; a key opened in one view leads to
// its own subkeys.
std::string in_view(OpenKey *base, const char *sub_key, REGSAM desired) {
    std::string sub = sub_key ? sub_key : "";
    return base->key->parent ? sub : registry_view(sub, desired);
}

bool allowed(RegKey *key, DWORD access) {
    if (!current_machine().is_nt()) return true;
    return access_granted(key->security, current_process().token, access);
}

bool handle_allows(OpenKey *open, DWORD access) {
    return !current_machine().is_nt() || (open->access & access) == access;
}

LONG fault_or(const char *function, const std::string &detail, LONG result) {
    DWORD error;
    if (current_machine().take_fault(function, detail, &error)) return (LONG)error;
    return result;
}

void fill_undefined(LPBYTE data, DWORD size) {
    if (data) memset(data, 0xCC, size);
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD options, REGSAM desired, PHKEY result) {
    (void)options;
    OpenKey *base = resolve_key(key);
    std::string path = base ? join(base->key->path(), sub_key) : std::string(sub_key ? sub_key : "");
    record_call("RegOpenKeyExA", path + " " + hex(desired));
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (!base) return ERROR_INVALID_HANDLE;
    if (base->key->deleted) return ERROR_KEY_DELETED;
    std::string viewed = in_view(base, sub_key, desired);
    RegKey *target = nullptr;
    LONG rc = walk(base->key, viewed.c_str(), &target);
    if (rc != ERROR_SUCCESS) return fault_or("RegOpenKeyExA", path, rc);
    rc = fault_or("RegOpenKeyExA", path, ERROR_SUCCESS);
    if (rc != ERROR_SUCCESS) return rc;
    DWORD access = map_key_access(desired);
    if (!allowed(target, access)) return ERROR_ACCESS_DENIED;
    *result = open_key_handle(target, access);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR class_name, DWORD options,
                     REGSAM desired, LPSECURITY_ATTRIBUTES security, PHKEY result,
                     LPDWORD disposition) {
    (void)reserved;
    (void)class_name;
    (void)options;
    (void)security;
    OpenKey *base = resolve_key(key);
    std::string path = base ? join(base->key->path(), sub_key) : std::string(sub_key ? sub_key : "");
    record_call("RegCreateKeyExA", path + " " + hex(desired));
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (!base) return ERROR_INVALID_HANDLE;
    if (base->key->deleted) return ERROR_KEY_DELETED;
    LONG rc = fault_or("RegCreateKeyExA", path, ERROR_SUCCESS);
    if (rc != ERROR_SUCCESS) return rc;
    DWORD access = map_key_access(desired);
    std::string viewed = in_view(base, sub_key, desired);
    sub_key = viewed.c_str();
    RegKey *target = nullptr;
    if (walk(base->key, sub_key, &target) == ERROR_SUCCESS) {
        if (!allowed(target, access)) return ERROR_ACCESS_DENIED;
        if (disposition) *disposition = REG_OPENED_EXISTING_KEY;
    } else {
        std::string sub = sub_key ? sub_key : "";
        while (!sub.empty() && sub.back() == '\\') sub.pop_back();
        if (sub.empty() || sub[0] == '\\' || sub.find("\\\\") != std::string::npos)
            return ERROR_INVALID_PARAMETER;
        // The deepest existing ancestor must allow creating subkeys.
        RegKey *parent = base->key;
        size_t start = 0;
        while (start <= sub.size()) {
            size_t end = sub.find('\\', start);
            if (end == std::string::npos) end = sub.size();
            RegKey *next = parent->child(sub.substr(start, end - start));
            if (!next) break;
            parent = next;
            start = end + 1;
        }
        if (!allowed(parent, KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
        target = current_machine().registry.create(join(base->key->path(), sub.c_str()));
        if (!target) return ERROR_INVALID_PARAMETER;
        if (disposition) *disposition = REG_CREATED_NEW_KEY;
        *result = open_key_handle(target, access);
        count_mutating_call();
        return ERROR_SUCCESS;
    }
    *result = open_key_handle(target, access);
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
    record_call("RegCloseKey", "");
    if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
    return close_key_handle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD name_size, LPDWORD reserved,
                   LPSTR class_name, LPDWORD class_size, PFILETIME last_write) {
    (void)reserved;
    OpenKey *open = resolve_key(key);
    record_call("RegEnumKeyExA", (open ? open->key->path() : std::string("?")) + " " +
                                     std::to_string(index));
    if (!open) return ERROR_INVALID_HANDLE;
    if (open->key->deleted) return ERROR_KEY_DELETED;
    if (!name || !name_size) return ERROR_INVALID_PARAMETER;
    if (!handle_allows(open, KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
    RegKey *k = open->key;
    if (k->subkey_enum_fails_at >= 0 && (DWORD)k->subkey_enum_fails_at == index)
        return (LONG)k->subkey_enum_error;
    if (index >= k->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const std::string &n = k->subkeys[index]->name;
    if (n.size() + 1 > *name_size) return ERROR_MORE_DATA;
    memcpy(name, n.c_str(), n.size() + 1);
    *name_size = (DWORD)n.size();
    if (class_name && class_size && *class_size > 0) class_name[0] = '\0';
    if (class_size) *class_size = 0;
    if (last_write) *last_write = FILETIME{0, 0};
    return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD name_size, LPDWORD reserved,
                   LPDWORD type, LPBYTE data, LPDWORD data_size) {
    (void)reserved;
    OpenKey *open = resolve_key(key);
    record_call("RegEnumValueA", (open ? open->key->path() : std::string("?")) + " " +
                                     std::to_string(index));
    if (!open) return ERROR_INVALID_HANDLE;
    if (open->key->deleted) return ERROR_KEY_DELETED;
    if (!name || !name_size) return ERROR_INVALID_PARAMETER;
    if (!handle_allows(open, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    RegKey *k = open->key;
    if (k->value_enum_fails_at >= 0 && (DWORD)k->value_enum_fails_at == index)
        return (LONG)k->value_enum_error;
    if (index >= k->values.size()) return ERROR_NO_MORE_ITEMS;
    const RegValue &v = k->values[index];
    if (v.name.size() + 1 > *name_size) return ERROR_MORE_DATA;
    if (data && data_size && *data_size < v.data.size()) {
        fill_undefined(data, *data_size);
        *data_size = (DWORD)v.data.size();
        return ERROR_MORE_DATA;
    }
    memcpy(name, v.name.c_str(), v.name.size() + 1);
    *name_size = (DWORD)v.name.size();
    if (type) *type = v.type;
    if (data && data_size && !v.data.empty()) memcpy(data, v.data.data(), v.data.size());
    if (data_size) *data_size = (DWORD)v.data.size();
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR value_name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD data_size) {
    OpenKey *open = resolve_key(key);
    record_call("RegQueryValueExA", (open ? open->key->path() : std::string("?")) + " " +
                                        (value_name ? value_name : ""));
    if (!open) return ERROR_INVALID_HANDLE;
    if (open->key->deleted) return ERROR_KEY_DELETED;
    if (reserved) return ERROR_INVALID_PARAMETER;
    if (data && !data_size) return ERROR_INVALID_PARAMETER;
    if (!handle_allows(open, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    RegValue *v = open->key->value(value_name ? value_name : "");
    if (!v) return ERROR_FILE_NOT_FOUND;
    LONG rc = fault_or("RegQueryValueExA", open->key->path() + " " + v->name, ERROR_SUCCESS);
    if (rc != ERROR_SUCCESS) return rc;
    if (type) *type = v->type;
    DWORD size = (DWORD)v->data.size();
    if (!data) {
        if (data_size) *data_size = size;
        return ERROR_SUCCESS;
    }
    if (*data_size < size) {
        // The platform leaves the buffer undefined; make that visible to tests.
        fill_undefined(data, *data_size);
        *data_size = size;
        return ERROR_MORE_DATA;
    }
    if (size) memcpy(data, v->data.data(), size);
    // The NT family terminates a string stored without its terminator when the buffer has
    // room for it, without counting it (Wine does the same).
    bool text = v->type == REG_SZ || v->type == REG_EXPAND_SZ || v->type == REG_MULTI_SZ;
    if (current_machine().is_nt() && text && size && v->data[size - 1] && *data_size > size)
        data[size] = 0;
    *data_size = size;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY key, LPCSTR value_name, DWORD reserved, DWORD type, const BYTE *data,
                    DWORD data_size) {
    (void)reserved;
    OpenKey *open = resolve_key(key);
    record_call("RegSetValueExA", (open ? open->key->path() : std::string("?")) + " " +
                                      (value_name ? value_name : "") + " " + hex(type));
    if (!open) return ERROR_INVALID_HANDLE;
    if (open->key->deleted) return ERROR_KEY_DELETED;
    if (!handle_allows(open, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    LONG rc = fault_or("RegSetValueExA", open->key->path(), ERROR_SUCCESS);
    if (rc != ERROR_SUCCESS) return rc;
    // Windows 95/98/ME keep at most 16,300 bytes in one value, Windows 2000 (its registry's
    // standard format) 1 MB, later versions what memory allows. The documentation names the
    // limits, not the error.
    const Machine &m = current_machine();
    DWORD most = 0xFFFFFFFF;
    if (!m.is_nt())
        most = 16300;
    else if (m.version.major == 5 && m.version.minor == 0)
        most = 0x100000;
    if (data_size > most) return ERROR_INVALID_PARAMETER;
    std::vector<uint8_t> bytes;
    if (data && data_size) bytes.assign(data, data + data_size);
    RegValue *v = open->key->value(value_name ? value_name : "");
    if (!v) {
        open->key->values.emplace_back();
        v = &open->key->values.back();
        v->name = value_name ? value_name : "";
    }
    v->type = type;
    v->data = bytes;
    v->unicode_data.clear();
    count_mutating_call();
    return ERROR_SUCCESS;
}

LONG RegDeleteKeyA(HKEY key, LPCSTR sub_key) {
    OpenKey *open = resolve_key(key);
    std::string path = open ? join(open->key->path(), sub_key) : std::string("?");
    record_call("RegDeleteKeyA", path);
    if (!open) return ERROR_INVALID_HANDLE;
    if (open->key->deleted) return ERROR_KEY_DELETED;
    if (!sub_key) return ERROR_INVALID_PARAMETER;
    RegKey *target = nullptr;
    LONG rc = walk(open->key, sub_key, &target);
    if (rc != ERROR_SUCCESS) return rc;
    rc = fault_or("RegDeleteKeyA", path, ERROR_SUCCESS);
    if (rc != ERROR_SUCCESS) return rc;
    if (!target->parent) return ERROR_ACCESS_DENIED;  // the root itself
    Machine &m = current_machine();
    if (m.is_nt()) {
        // NT deletes one key at a time; it needs DELETE on the key itself.
        if (!target->subkeys.empty()) return ERROR_ACCESS_DENIED;
        if (!allowed(target, DELETE)) return ERROR_ACCESS_DENIED;
    }
    // Windows 98/ME deletes the key with every subkey.
    m.registry.remove_tree(target->path());
    count_mutating_call();
    return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY key, LPCSTR value_name) {
    OpenKey *open = resolve_key(key);
    record_call("RegDeleteValueA", (open ? open->key->path() : std::string("?")) + " " +
                                       (value_name ? value_name : ""));
    if (!open) return ERROR_INVALID_HANDLE;
    if (open->key->deleted) return ERROR_KEY_DELETED;
    if (!handle_allows(open, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    std::vector<RegValue> &values = open->key->values;
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (equal_nocase(it->name, value_name ? value_name : "")) {
            LONG rc = fault_or("RegDeleteValueA", open->key->path() + " " + it->name, ERROR_SUCCESS);
            if (rc != ERROR_SUCCESS) return rc;
            values.erase(it);
            count_mutating_call();
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}
