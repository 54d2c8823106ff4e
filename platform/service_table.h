// The service manager's functions of advapi32.dll, found at run time. Nothing shows that the
// advapi32.dll of Windows 98, 98 SE and ME exports them, and the loader of those systems
// refuses a program that imports a single name its DLL lacks; so the program asks for them
// with GetProcAddress on the NT family, where the service manager keeps the driver services.
#ifndef K440_PLATFORM_SERVICE_TABLE_H
#define K440_PLATFORM_SERVICE_TABLE_H

struct service_manager_functions {
    SC_HANDLE(WINAPI *OpenSCManagerA)(LPCSTR machine_name, LPCSTR database_name, DWORD access);
    SC_HANDLE(WINAPI *OpenServiceA)(SC_HANDLE manager, LPCSTR service_name, DWORD access);
    BOOL(WINAPI *DeleteService)(SC_HANDLE service);
    BOOL(WINAPI *QueryServiceStatus)(SC_HANDLE service, LPSERVICE_STATUS status);
    BOOL(WINAPI *CloseServiceHandle)(SC_HANDLE handle);
};

// 1 with every function found; 0 (last error ERROR_PROC_NOT_FOUND) when one is missing.
int find_service_manager(service_manager_functions *functions);

#endif
