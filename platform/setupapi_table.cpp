// The SetupAPI functions of the program, each forwarding to setupapi.dll's function of the
// same name through one table (platform/setupapi_table.h).
#include "platform/win32.h"

namespace {

// Every setupapi.dll function the program calls.
#define SETUPAPI_FUNCTIONS(F)              \
    F(SetupCloseInfFile)                   \
    F(SetupDiCallClassInstaller)           \
    F(SetupDiCreateDeviceInfoList)         \
    F(SetupDiDestroyDeviceInfoList)        \
    F(SetupDiEnumDeviceInfo)               \
    F(SetupDiGetClassDevsA)                \
    F(SetupDiGetDeviceInstallParamsA)      \
    F(SetupDiGetDeviceInstanceIdA)         \
    F(SetupDiGetDeviceRegistryPropertyA)   \
    F(SetupDiOpenClassRegKeyExA)           \
    F(SetupDiOpenDeviceInfoA)              \
    F(SetupDiSetClassInstallParamsA)       \
    F(SetupDiSetDeviceRegistryPropertyA)   \
    F(SetupFindFirstLineA)                 \
    F(SetupFindNextLine)                   \
    F(SetupGetStringFieldA)                \
    F(SetupOpenInfFileA)                   \
    F(SetupPromptReboot)                   \
    F(SetupUninstallOEMInfA)

enum function_index {
#define AS_INDEX(name) AT_##name,
    SETUPAPI_FUNCTIONS(AS_INDEX)
#undef AS_INDEX
    FUNCTION_COUNT
};

const char *const function_names[FUNCTION_COUNT] = {
#define AS_NAME(name) #name,
    SETUPAPI_FUNCTIONS(AS_NAME)
#undef AS_NAME
};

// Compilers take void (*)(void) as the generic function pointer type: a cast through it to
// the function's own type draws no warning.
typedef void (*any_function)(void);

enum lookup_state { NOT_LOOKED_UP = 0, FOUND, MISSING };

struct function_table {
    int load_tried;
    HMODULE module;
    DWORD load_error;
    any_function addresses[FUNCTION_COUNT];
    unsigned char states[FUNCTION_COUNT];
};

function_table table;
missing_function_report report_missing = 0;

HMODULE loaded_setupapi(void) {
    if (!table.load_tried) {
        table.load_tried = 1;
        table.module = LoadLibraryA("setupapi.dll");
        if (!table.module) {
            table.load_error = GetLastError();
            if (!table.load_error) table.load_error = ERROR_MOD_NOT_FOUND;
        }
    }
    return table.module;
}

// The address of setupapi.dll's function, looked up at its first use; 0 with the last error
// set when the DLL or the function is missing.
any_function look_up(function_index index) {
    if (table.states[index] == NOT_LOOKED_UP) {
        HMODULE module = loaded_setupapi();
        any_function found =
            module ? reinterpret_cast<any_function>(GetProcAddress(module, function_names[index])) : 0;
        table.addresses[index] = found;
        table.states[index] = found ? FOUND : MISSING;
        if (!found && report_missing) report_missing(function_names[index], table.load_error);
    }
    if (!table.addresses[index]) SetLastError(table.module ? ERROR_PROC_NOT_FOUND : table.load_error);
    return table.addresses[index];
}

// A device information set is made only where the functions every walk over one calls are
// there; a set nothing can free would stay for the rest of the run.
int device_sets_usable(void) {
    return look_up(AT_SetupDiEnumDeviceInfo) && look_up(AT_SetupDiGetDeviceRegistryPropertyA) &&
           look_up(AT_SetupDiDestroyDeviceInfoList);
}

}  // namespace

#define LOOKED_UP(name) reinterpret_cast<decltype(&name)>(look_up(AT_##name))

// The body of a forwarder: setupapi.dll's function with the caller's arguments, or `failed`.
#define FORWARD(name, failed, arguments)               \
    decltype(&name) function = LOOKED_UP(name);        \
    return function ? function arguments : failed

void report_missing_setupapi_functions(missing_function_report report) { report_missing = report; }

uninstall_oem_inf_function setupapi_uninstall_oem_inf(void) {
    return reinterpret_cast<uninstall_oem_inf_function>(look_up(AT_SetupUninstallOEMInfA));
}

void release_setupapi(void) {
    if (table.module) FreeLibrary(table.module);
    function_table empty = {};
    table = empty;
}

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID *class_guid, PCSTR enumerator, HWND parent,
                                     DWORD flags) {
    decltype(&SetupDiGetClassDevsA) function = LOOKED_UP(SetupDiGetClassDevsA);
    if (!function || !device_sets_usable()) return INVALID_HANDLE_VALUE;
    return function(class_guid, enumerator, parent, flags);
}

HDEVINFO WINAPI SetupDiCreateDeviceInfoList(const GUID *class_guid, HWND parent) {
    decltype(&SetupDiCreateDeviceInfoList) function = LOOKED_UP(SetupDiCreateDeviceInfoList);
    if (!function || !device_sets_usable()) return INVALID_HANDLE_VALUE;
    return function(class_guid, parent);
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set) {
    FORWARD(SetupDiDestroyDeviceInfoList, FALSE, (set));
}

BOOL WINAPI SetupDiOpenDeviceInfoA(HDEVINFO set, PCSTR instance_id, HWND parent, DWORD flags,
                                   PSP_DEVINFO_DATA device) {
    FORWARD(SetupDiOpenDeviceInfoA, FALSE, (set, instance_id, parent, flags, device));
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA device) {
    FORWARD(SetupDiEnumDeviceInfo, FALSE, (set, index, device));
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA device,
                                              DWORD property, PDWORD type, PBYTE buffer,
                                              DWORD size, PDWORD required) {
    FORWARD(SetupDiGetDeviceRegistryPropertyA, FALSE,
            (set, device, property, type, buffer, size, required));
}

BOOL WINAPI SetupDiSetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA device,
                                              DWORD property, const BYTE *buffer, DWORD size) {
    FORWARD(SetupDiSetDeviceRegistryPropertyA, FALSE, (set, device, property, buffer, size));
}

HKEY WINAPI SetupDiOpenClassRegKeyExA(const GUID *class_guid, REGSAM desired, DWORD flags,
                                      PCSTR machine_name, PVOID reserved) {
    FORWARD(SetupDiOpenClassRegKeyExA, (HKEY)INVALID_HANDLE_VALUE,
            (class_guid, desired, flags, machine_name, reserved));
}

BOOL WINAPI SetupDiGetDeviceInstanceIdA(HDEVINFO set, PSP_DEVINFO_DATA device, PSTR buffer,
                                        DWORD size, PDWORD required) {
    FORWARD(SetupDiGetDeviceInstanceIdA, FALSE, (set, device, buffer, size, required));
}

BOOL WINAPI SetupDiSetClassInstallParamsA(HDEVINFO set, PSP_DEVINFO_DATA device,
                                          PSP_CLASSINSTALL_HEADER params, DWORD size) {
    FORWARD(SetupDiSetClassInstallParamsA, FALSE, (set, device, params, size));
}

BOOL WINAPI SetupDiCallClassInstaller(DI_FUNCTION install_function, HDEVINFO set,
                                      PSP_DEVINFO_DATA device) {
    FORWARD(SetupDiCallClassInstaller, FALSE, (install_function, set, device));
}

BOOL WINAPI SetupDiGetDeviceInstallParamsA(HDEVINFO set, PSP_DEVINFO_DATA device,
                                           PSP_DEVINSTALL_PARAMS_A params) {
    FORWARD(SetupDiGetDeviceInstallParamsA, FALSE, (set, device, params));
}

HINF WINAPI SetupOpenInfFileA(PCSTR file_name, PCSTR inf_class, DWORD inf_style, PUINT error_line) {
    decltype(&SetupOpenInfFileA) function = LOOKED_UP(SetupOpenInfFileA);
    if (!function || !look_up(AT_SetupCloseInfFile)) return INVALID_HANDLE_VALUE;
    return function(file_name, inf_class, inf_style, error_line);
}

void WINAPI SetupCloseInfFile(HINF inf) {
    decltype(&SetupCloseInfFile) function = LOOKED_UP(SetupCloseInfFile);
    if (function) function(inf);
}

BOOL WINAPI SetupFindFirstLineA(HINF inf, PCSTR section, PCSTR key, PINFCONTEXT context) {
    FORWARD(SetupFindFirstLineA, FALSE, (inf, section, key, context));
}

BOOL WINAPI SetupFindNextLine(PINFCONTEXT context_in, PINFCONTEXT context_out) {
    FORWARD(SetupFindNextLine, FALSE, (context_in, context_out));
}

BOOL WINAPI SetupGetStringFieldA(PINFCONTEXT context, DWORD field_index, PSTR buffer, DWORD size,
                                 PDWORD required) {
    FORWARD(SetupGetStringFieldA, FALSE, (context, field_index, buffer, size, required));
}

INT WINAPI SetupPromptReboot(HSPFILEQ file_queue, HWND owner, BOOL scan_only) {
    FORWARD(SetupPromptReboot, -1, (file_queue, owner, scan_only));
}
