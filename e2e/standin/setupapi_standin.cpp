// setupapi.dll stand-in for one end-to-end case: placed beside the program and loaded in
// place of the platform's SetupAPI (through a DLL override for that program), it fails the
// first request for the device list of all classes, as a platform that cannot list its
// devices would, and forwards every call to the platform's own setupapi.dll in the system
// folder. So the program's OEM INF discovery falls back to searching the INF folder, which it
// never does under Wine otherwise.
#define _SETUPAPI_  // the functions are defined here, not imported
#include <windows.h>
#include <setupapi.h>

#include <string.h>

namespace {

HMODULE platform_setupapi() {
    static HMODULE module;
    if (!module) {
        char path[MAX_PATH];
        UINT length = GetSystemDirectoryA(path, MAX_PATH - 16);
        if (length == 0 || length >= MAX_PATH - 16) return 0;
        strcat(path, "\\setupapi.dll");
        module = LoadLibraryA(path);
    }
    return module;
}

// The platform's function of the same name and type (the stand-in's own gives the type).
template <typename Function>
Function platform(Function, const char *name) {
    HMODULE module = platform_setupapi();
    FARPROC address = module ? GetProcAddress(module, name) : 0;
    Function found = reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(address));
    if (!found) ExitProcess(99);  // a case can only be wrong without the real function
    return found;
}

#define PLATFORM(name) platform(&name, #name)

LONG all_classes_refused;

}  // namespace

extern "C" {

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID *class_guid, PCSTR enumerator, HWND parent,
                                     DWORD flags) {
    if ((flags & DIGCF_ALLCLASSES) && !InterlockedExchange(&all_classes_refused, 1)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    return PLATFORM(SetupDiGetClassDevsA)(class_guid, enumerator, parent, flags);
}

VOID WINAPI SetupCloseInfFile(HINF inf) { PLATFORM(SetupCloseInfFile)(inf); }

BOOL WINAPI SetupDiCallClassInstaller(DI_FUNCTION function, HDEVINFO set, PSP_DEVINFO_DATA device) {
    return PLATFORM(SetupDiCallClassInstaller)(function, set, device);
}

HDEVINFO WINAPI SetupDiCreateDeviceInfoList(const GUID *class_guid, HWND parent) {
    return PLATFORM(SetupDiCreateDeviceInfoList)(class_guid, parent);
}

BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set) {
    return PLATFORM(SetupDiDestroyDeviceInfoList)(set);
}

BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO set, DWORD index, PSP_DEVINFO_DATA device) {
    return PLATFORM(SetupDiEnumDeviceInfo)(set, index, device);
}

BOOL WINAPI SetupDiGetDeviceInstallParamsA(HDEVINFO set, PSP_DEVINFO_DATA device,
                                           PSP_DEVINSTALL_PARAMS_A params) {
    return PLATFORM(SetupDiGetDeviceInstallParamsA)(set, device, params);
}

BOOL WINAPI SetupDiGetDeviceInstanceIdA(HDEVINFO set, PSP_DEVINFO_DATA device, PSTR id,
                                        DWORD size, PDWORD required) {
    return PLATFORM(SetupDiGetDeviceInstanceIdA)(set, device, id, size, required);
}

BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO set, PSP_DEVINFO_DATA device,
                                              DWORD property, PDWORD type, PBYTE buffer,
                                              DWORD size, PDWORD required) {
    return PLATFORM(SetupDiGetDeviceRegistryPropertyA)(set, device, property, type, buffer, size,
                                                       required);
}

HKEY WINAPI SetupDiOpenClassRegKeyExA(const GUID *guid, REGSAM access, DWORD flags,
                                      PCSTR machine, PVOID reserved) {
    return PLATFORM(SetupDiOpenClassRegKeyExA)(guid, access, flags, machine, reserved);
}

BOOL WINAPI SetupDiOpenDeviceInfoA(HDEVINFO set, PCSTR instance_id, HWND parent, DWORD flags,
                                   PSP_DEVINFO_DATA device) {
    return PLATFORM(SetupDiOpenDeviceInfoA)(set, instance_id, parent, flags, device);
}

BOOL WINAPI SetupDiSetClassInstallParamsA(HDEVINFO set, PSP_DEVINFO_DATA device,
                                          PSP_CLASSINSTALL_HEADER params, DWORD size) {
    return PLATFORM(SetupDiSetClassInstallParamsA)(set, device, params, size);
}

BOOL WINAPI SetupFindFirstLineA(HINF inf, PCSTR section, PCSTR key, PINFCONTEXT context) {
    return PLATFORM(SetupFindFirstLineA)(inf, section, key, context);
}

BOOL WINAPI SetupFindNextLine(PINFCONTEXT in, PINFCONTEXT out) {
    return PLATFORM(SetupFindNextLine)(in, out);
}

BOOL WINAPI SetupGetStringFieldA(PINFCONTEXT context, DWORD index, PSTR buffer, DWORD size,
                                 PDWORD required) {
    return PLATFORM(SetupGetStringFieldA)(context, index, buffer, size, required);
}

HINF WINAPI SetupOpenInfFileA(PCSTR name, PCSTR inf_class, DWORD style, PUINT error_line) {
    return PLATFORM(SetupOpenInfFileA)(name, inf_class, style, error_line);
}

// Found by the program at run time (GetProcAddress on the loaded setupapi.dll).
BOOL WINAPI SetupUninstallOEMInfA(PCSTR inf_name, DWORD flags, PVOID reserved) {
    return PLATFORM(SetupUninstallOEMInfA)(inf_name, flags, reserved);
}

INT WINAPI SetupPromptReboot(HSPFILEQ queue, HWND owner, BOOL scan_only) {
    return PLATFORM(SetupPromptReboot)(queue, owner, scan_only);
}

}  // extern "C"
