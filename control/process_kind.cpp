#include "control/process_kind.h"

#include <string.h>

#include "platform/win32.h"

namespace {

typedef BOOL(WINAPI *is_wow64_process_function)(HANDLE, PBOOL);
typedef void(WINAPI *get_native_system_info_function)(LPSYSTEM_INFO);

// The detour through a function type without parameters keeps compilers from warning about
// a cast between incompatible function types; the caller calls it with its real type.
typedef void (*any_function)(void);

any_function kernel32_function(const char *name) {
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    return kernel32 ? (any_function)GetProcAddress(kernel32, name) : 0;
}

// A call that fails counts as WOW64: the run is then refused or handed to the companion
// rather than done with the redirected view.
int under_wow64(void) {
    is_wow64_process_function is_wow64_process =
        (is_wow64_process_function)kernel32_function("IsWow64Process");
    if (!is_wow64_process) return 0;
    BOOL wow64 = FALSE;
    if (!is_wow64_process(GetCurrentProcess(), &wow64)) return 1;
    return wow64 != FALSE;
}

int native_machine_is_x64(void) {
    get_native_system_info_function get_native_system_info =
        (get_native_system_info_function)kernel32_function("GetNativeSystemInfo");
    if (!get_native_system_info) return 0;
    SYSTEM_INFO info;
    memset(&info, 0, sizeof info);
    get_native_system_info(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
}

}  // namespace

int classify_process(void) {
    SYSTEM_INFO info;
    memset(&info, 0, sizeof info);
    GetSystemInfo(&info);  // the architecture this process runs as
    if (info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64)
        return native_machine_is_x64() ? PROCESS_64BIT_WINDOWS : PROCESS_64BIT_ELSEWHERE;
    return under_wow64() ? PROCESS_UNDER_WOW64 : PROCESS_32BIT_WINDOWS;
}
