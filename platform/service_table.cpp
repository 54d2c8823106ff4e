#include "platform/win32.h"

namespace {

// Compilers take void (*)(void) as the generic function pointer type: a cast through it to
// the function's own type draws no warning.
typedef void (*any_function)(void);

template <typename Function>
int look_up(HMODULE module, const char *name, Function *function) {
    *function = reinterpret_cast<Function>(
        reinterpret_cast<any_function>(module ? GetProcAddress(module, name) : 0));
    return *function != 0;
}

}  // namespace

// advapi32.dll is imported, hence loaded for the whole run.
int find_service_manager(service_manager_functions *functions) {
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    int found = look_up(advapi, "OpenSCManagerA", &functions->OpenSCManagerA) &
                look_up(advapi, "OpenServiceA", &functions->OpenServiceA) &
                look_up(advapi, "DeleteService", &functions->DeleteService) &
                look_up(advapi, "QueryServiceStatus", &functions->QueryServiceStatus) &
                look_up(advapi, "CloseServiceHandle", &functions->CloseServiceHandle);
    if (!found) SetLastError(ERROR_PROC_NOT_FOUND);
    return found;
}
