// LoadLibraryA, FreeLibrary, GetModuleHandleA and GetProcAddress over the modules of the
// program: kernel32, advapi32 and user32, which it imports, and setupapi, which it loads.
// Only the exports that the program looks up at run time are listed; every other name is not
// found, as an export missing from an older Windows would be.
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
#include "service_api.h"
#include "setupapi_exports.h"
#include "system_api.h"
#include "ui_api.h"

using namespace sim;

namespace {

const char *const kModules[] = {"kernel32.dll", "advapi32.dll", "user32.dll", "setupapi.dll"};
const size_t kLoadedModule = 3;  // setupapi.dll: loaded by LoadLibraryA, not imported
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

const size_t kNoModule = sizeof kModules / sizeof kModules[0];

size_t module_index(const std::string &file) {
    for (size_t i = 0; i < kNoModule; ++i)
        if (equal_nocase(file, kModules[i])) return i;
    return kNoModule;
}

size_t module_of(HMODULE module) {
    for (size_t i = 0; i < kNoModule; ++i)
        if (module == module_handle(i)) return i;
    return kNoModule;
}

bool is_module(HMODULE module, const char *name) {
    size_t index = module_of(module);
    return index != kNoModule && std::strcmp(kModules[index], name) == 0;
}

template <typename Function>
FARPROC as_proc(Function *function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(function));
}

#define SETUPAPI_EXPORT(name) {#name, as_proc(&setupapi_dll::name)}

// What the simulated setupapi.dll exports, by name; the machine may lack any of them.
FARPROC setupapi_export(const char *name) {
    static const struct {
        const char *name;
        FARPROC address;
    } exports[] = {
        SETUPAPI_EXPORT(SetupCloseInfFile), SETUPAPI_EXPORT(SetupDiCallClassInstaller),
        SETUPAPI_EXPORT(SetupDiCreateDeviceInfoList), SETUPAPI_EXPORT(SetupDiDestroyDeviceInfoList),
        SETUPAPI_EXPORT(SetupDiEnumDeviceInfo), SETUPAPI_EXPORT(SetupDiGetClassDevsA),
        SETUPAPI_EXPORT(SetupDiGetDeviceInstallParamsA), SETUPAPI_EXPORT(SetupDiGetDeviceInstanceIdA),
        SETUPAPI_EXPORT(SetupDiGetDeviceRegistryPropertyA),
        SETUPAPI_EXPORT(SetupDiOpenClassRegKeyExA), SETUPAPI_EXPORT(SetupDiOpenDeviceInfoA),
        SETUPAPI_EXPORT(SetupDiSetClassInstallParamsA),
        SETUPAPI_EXPORT(SetupDiSetDeviceRegistryPropertyA), SETUPAPI_EXPORT(SetupFindFirstLineA),
        SETUPAPI_EXPORT(SetupFindNextLine), SETUPAPI_EXPORT(SetupGetStringFieldA),
        SETUPAPI_EXPORT(SetupOpenInfFileA), SETUPAPI_EXPORT(SetupPromptReboot),
    };
    if (current_machine().missing_exports.count(name)) return nullptr;
    if (std::strcmp(name, "SetupUninstallOEMInfA") == 0)
        return oem_inf_uninstall_exists() ? as_proc(&SetupUninstallOEMInfA) : nullptr;
    for (const auto &e : exports)
        if (std::strcmp(name, e.name) == 0) return e.address;
    return nullptr;
}

FARPROC service_manager_export(const char *name) {
    static const struct {
        const char *name;
        FARPROC address;
    } exports[] = {
        {"OpenSCManagerA", as_proc(&advapi32_dll::OpenSCManagerA)},
        {"OpenServiceA", as_proc(&advapi32_dll::OpenServiceA)},
        {"DeleteService", as_proc(&advapi32_dll::DeleteService)},
        {"QueryServiceStatus", as_proc(&advapi32_dll::QueryServiceStatus)},
        {"CloseServiceHandle", as_proc(&advapi32_dll::CloseServiceHandle)},
    };
    for (const auto &e : exports)
        if (std::strcmp(name, e.name) == 0) return e.address;
    return nullptr;
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR file_name) {
    record_call("LoadLibraryA", file_name ? file_name : "(null)");
    size_t index = file_name ? module_index(with_extension(file_name)) : kNoModule;
    if (index == kNoModule || current_machine().missing_exports.count(kModules[index])) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++current_process().module_loads[kModules[index]];
    return module_handle(index);
}

BOOL FreeLibrary(HMODULE module) {
    size_t index = module_of(module);
    record_call("FreeLibrary", index == kNoModule ? "(unknown)" : kModules[index]);
    if (index == kNoModule) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    int &loads = current_process().module_loads[kModules[index]];
    if (loads > 0) --loads;
    return TRUE;
}

HMODULE GetModuleHandleA(LPCSTR module_name) {
    record_call("GetModuleHandleA", module_name ? module_name : "(null)");
    if (!module_name) return reinterpret_cast<HMODULE>(kProgramModule);
    // A module that is not imported is there only while the process has it loaded.
    size_t index = module_index(with_extension(module_name));
    if (index == kNoModule ||
        (index == kLoadedModule && current_process().module_loads[kModules[index]] == 0)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return module_handle(index);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR proc_name) {
    // An ordinal (a name pointer below 0x10000) names no export listed here.
    bool by_name = reinterpret_cast<uintptr_t>(proc_name) >= 0x10000;
    record_call("GetProcAddress", by_name ? proc_name : "(ordinal)");
    // Export names are compared exactly, as the platform does.
    if (by_name && is_module(module, "setupapi.dll")) {
        if (FARPROC found = setupapi_export(proc_name)) return found;
    }
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
    // The service manager is the NT family's.
    if (by_name && is_module(module, "advapi32.dll") && current_machine().is_nt() &&
        !current_machine().missing_exports.count(proc_name)) {
        if (FARPROC found = service_manager_export(proc_name)) return found;
    }
    // Window stations are the NT family's; Windows 98/ME have none.
    if (by_name && is_module(module, "user32.dll") && current_machine().is_nt()) {
        if (std::strcmp(proc_name, "GetProcessWindowStation") == 0)
            return as_proc(&GetProcessWindowStation);
        if (std::strcmp(proc_name, "GetUserObjectInformationA") == 0)
            return as_proc(&GetUserObjectInformationA);
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}
