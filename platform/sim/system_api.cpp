// Version, named mutexes, last error and process handles of the simulated platform.
#include "system_api.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "handle_table.h"
#include "machine.h"

using namespace sim;

namespace sim {

namespace {
std::vector<HandleCloser> &closers() {
    static std::vector<HandleCloser> list;
    return list;
}
}  // namespace

void add_handle_closer(HandleCloser closer) {
    for (HandleCloser c : closers())
        if (c == closer) return;
    closers().push_back(closer);
}

bool close_any_handle(HANDLE handle) {
    for (HandleCloser c : closers())
        if (c(handle)) return true;
    return false;
}

}  // namespace sim

namespace {

bool close_mutex(HANDLE handle) {
    Process &p = current_process();
    auto it = p.mutex_handles.find(reinterpret_cast<uintptr_t>(handle));
    if (it == p.mutex_handles.end()) return false;
    int &count = p.machine->mutexes[it->second];
    if (--count <= 0) p.machine->mutexes.erase(it->second);
    p.mutex_handles.erase(it);
    --p.open_handles;
    return true;
}

}  // namespace

BOOL GetVersionExA(LPOSVERSIONINFOA info) {
    record_call("GetVersionExA", info ? std::to_string(info->dwOSVersionInfoSize) : "null");
    const VersionInfo &v = current_machine().version;
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) || v.query_fails) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->dwMajorVersion = v.major;
    info->dwMinorVersion = v.minor;
    info->dwBuildNumber = v.build;
    info->dwPlatformId = v.platform;
    memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    strncpy(info->szCSDVersion, v.service_pack.c_str(), sizeof info->szCSDVersion - 1);
    return TRUE;
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES security, BOOL initial_owner, LPCSTR name) {
    record_call("CreateMutexA", std::string(security ? "sa " : "") +
                                    (initial_owner ? "owned " : "") + (name ? name : ""));
    Process &p = current_process();
    DWORD error;
    if (p.machine->take_fault("CreateMutexA", name ? name : "", &error)) {
        SetLastError(error);
        return nullptr;
    }
    add_handle_closer(close_mutex);
    std::string key = name ? name : "";
    uintptr_t number = new_handle_number();
    bool existed = !key.empty() && p.machine->mutexes.count(key) > 0;
    if (!key.empty()) ++p.machine->mutexes[key];
    p.mutex_handles[number] = key;
    ++p.open_handles;
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return reinterpret_cast<HANDLE>(number);
}

BOOL CloseHandle(HANDLE handle) {
    record_call("CloseHandle", "");
    if (close_any_handle(handle)) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}

DWORD GetLastError(void) { return current_process().last_error; }
void SetLastError(DWORD error) { current_process().last_error = error; }

// The pseudo handle of the current process, as on Windows.
HANDLE GetCurrentProcess(void) { return reinterpret_cast<HANDLE>((LONG_PTR)-1); }

void GetLocalTime(LPSYSTEMTIME time) {
    record_call("GetLocalTime", "");
    *time = current_machine().local_time;
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
    void *memory = (flags & LMEM_ZEROINIT) ? calloc(1, bytes ? bytes : 1) : malloc(bytes ? bytes : 1);
    return memory;
}

HLOCAL LocalFree(HLOCAL memory) {
    free(memory);
    return nullptr;
}
