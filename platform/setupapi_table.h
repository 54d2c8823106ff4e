// setupapi.dll is found at run time, never imported. The program defines each SetupAPI
// function it calls under the function's own name (platform/setupapi_table.cpp); the
// definition forwards to setupapi.dll's function, which one table looks up at its first use
// (LoadLibraryA once, GetProcAddress per name). The loader of Windows 98, 98 SE and ME refuses
// a program that imports a single name its DLL lacks, before the program runs, and nothing
// shows which SetupAPI names the setupapi.dll of those systems exports.
//
// Where setupapi.dll or a function is missing, the forwarder fails as the function itself
// fails (INVALID_HANDLE_VALUE, FALSE, -1 for SetupPromptReboot) with the last error
// ERROR_PROC_NOT_FOUND, or the error of LoadLibraryA when the DLL could not be loaded. A
// handle is made only where it can be walked and closed again: SetupDiGetClassDevsA and
// SetupDiCreateDeviceInfoList fail unless SetupDiEnumDeviceInfo,
// SetupDiGetDeviceRegistryPropertyA and SetupDiDestroyDeviceInfoList are there, and
// SetupOpenInfFileA fails unless SetupCloseInfFile is.
#ifndef K440_PLATFORM_SETUPAPI_TABLE_H
#define K440_PLATFORM_SETUPAPI_TABLE_H

// Told once per function and load about a function that is not there: its name, and 0 when
// setupapi.dll is loaded but lacks it, else the error of loading the DLL.
typedef void (*missing_function_report)(const char *function, unsigned long load_error);
void report_missing_setupapi_functions(missing_function_report report);

// SetupUninstallOEMInfA (Windows XP and later), or 0 where setupapi.dll has none.
typedef BOOL(WINAPI *uninstall_oem_inf_function)(PCSTR inf_file_name, DWORD flags, PVOID reserved);
uninstall_oem_inf_function setupapi_uninstall_oem_inf(void);

// Frees setupapi.dll and forgets every lookup; a later call loads it again.
void release_setupapi(void);

#endif
