#include "registry_handles.h"

#include "registry_api.h"

namespace sim {

namespace {
std::map<uintptr_t, OpenKey> g_keys;
OpenKey g_root;
}  // namespace

OpenKey *resolve_key(HKEY handle) {
    if (handle == HKEY_LOCAL_MACHINE) {
        g_root.key = current_machine().registry.hklm.get();
        g_root.access = KEY_ALL_ACCESS;
        return &g_root;
    }
    auto it = g_keys.find(reinterpret_cast<uintptr_t>(handle));
    return it == g_keys.end() ? nullptr : &it->second;
}

HKEY open_key_handle(RegKey *key, REGSAM access) {
    uintptr_t number = new_handle_number();
    g_keys[number] = OpenKey{key, access};
    ++current_process().open_handles;
    return reinterpret_cast<HKEY>(number);
}

bool close_key_handle(HKEY handle) {
    auto it = g_keys.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_keys.end()) return false;
    g_keys.erase(it);
    --current_process().open_handles;
    return true;
}

DWORD map_key_access(REGSAM desired) {
    DWORD mapped = desired & ~(DWORD)(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE |
                                      GENERIC_ALL | MAXIMUM_ALLOWED | KEY_WOW64_32KEY |
                                      KEY_WOW64_64KEY);
    if (desired & GENERIC_READ) mapped |= KEY_READ;
    if (desired & GENERIC_WRITE) mapped |= KEY_WRITE;
    if (desired & GENERIC_EXECUTE) mapped |= KEY_EXECUTE;
    if (desired & GENERIC_ALL) mapped |= KEY_ALL_ACCESS;
    return mapped;
}

int open_key_handle_count() { return (int)g_keys.size(); }

}  // namespace sim
