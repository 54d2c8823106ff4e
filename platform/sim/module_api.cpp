// GetModuleHandleA and GetProcAddress over the modules the product imports. Only the exports
// that the product looks up at run time are listed; every other name is not found, as an
// export missing from an older Windows would be.
#include "module_api.h"

#include <cstring>
#include <string>

#include "driver_store.h"
#include "files_wide_api.h"
#include "registry_wide_api.h"
#include "machine.h"
#include "mbcs.h"
#include "nls_api.h"
#include "process_api.h"
#include "system_api.h"
#include "ui_api.h"

using namespace sim;

namespace {

const char *const kModules[] = {"kernel32.dll", "advapi32.dll", "user32.dll", "setupapi.dll"};
const uintptr_t kFirstModule = 0x70000000;  // kernel32's handle; the others follow
const uintptr_t kProgramModule = 0x00400000;

// A module name as LoadLibrary reads it: without an extension, ".dll" is meant.
std::string with_extension(const std::string &name) {
    size_t slash = name.find_last_of("\\/");
    std::string file = slash == std::string::npos ? name : name.substr(slash + 1);
    return file.find('.') == std::string::npos ? file + ".dll" : file;
}

HMODULE module_handle(size_t index) {
    return reinterpret_cast<HMODULE>(kFirstModule + index * 0x100000);
}

bool is_module(HMODULE module, const char *name) {
    for (size_t i = 0; i < sizeof kModules / sizeof kModules[0]; ++i)
        if (module == module_handle(i)) return std::strcmp(kModules[i], name) == 0;
    return false;
}

template <typename Function>
FARPROC as_proc(Function *function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(function));
}

}  // namespace

HMODULE GetModuleHandleA(LPCSTR module_name) {
    record_call("GetModuleHandleA", module_name ? module_name : "(null)");
    if (!module_name) return reinterpret_cast<HMODULE>(kProgramModule);
    std::string file = with_extension(module_name);
    for (size_t i = 0; i < sizeof kModules / sizeof kModules[0]; ++i)
        if (equal_nocase(file, kModules[i])) return module_handle(i);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR proc_name) {
    // An ordinal (a name pointer below 0x10000) names no export listed here.
    bool by_name = reinterpret_cast<uintptr_t>(proc_name) >= 0x10000;
    record_call("GetProcAddress", by_name ? proc_name : "(ordinal)");
    // Export names are compared exactly, as the platform does.
    if (by_name && is_module(module, "setupapi.dll") &&
        std::strcmp(proc_name, "SetupUninstallOEMInfA") == 0 && oem_inf_uninstall_exists())
        return as_proc(&SetupUninstallOEMInfA);
    // Windows 98/ME export these too, as stubs that fail with ERROR_CALL_NOT_IMPLEMENTED
    // (MessageBoxW works there), which the simulated functions do there as well.
    const struct {
        const char *module;
        const char *name;
        FARPROC function;
    } everywhere[] = {
        {"kernel32.dll", "FindFirstFileW", as_proc(&FindFirstFileW)},
        {"kernel32.dll", "FindNextFileW", as_proc(&FindNextFileW)},
        {"advapi32.dll", "RegQueryValueExW", as_proc(&RegQueryValueExW)},
        {"advapi32.dll", "RegEnumKeyExW", as_proc(&RegEnumKeyExW)},
        {"user32.dll", "MessageBoxW", as_proc(&MessageBoxW)},
        {"user32.dll", "DialogBoxParamW", as_proc(&DialogBoxParamW)},
        {"user32.dll", "SetWindowTextW", as_proc(&SetWindowTextW)},
        {"user32.dll", "SetDlgItemTextW", as_proc(&SetDlgItemTextW)},
    };
    for (const auto &e : everywhere)
        if (by_name && is_module(module, e.module) && std::strcmp(proc_name, e.name) == 0)
            return e.function;
    // Windows 2000 and later.
    if (by_name && is_module(module, "kernel32.dll") &&
        std::strcmp(proc_name, "GetUserDefaultUILanguage") == 0 &&
        current_machine().is_nt() && current_machine().version.major >= 5)
        return as_proc(&GetUserDefaultUILanguage);
    if (by_name && is_module(module, "kernel32.dll")) {
        if (FARPROC found = kernel32_process_export(proc_name)) return found;
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}
