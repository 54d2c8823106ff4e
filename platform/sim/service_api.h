// The service manager of the simulated platform (advapi32), as much of it as the program
// uses. The program finds these functions at run time (platform/service_table.h): they are
// declared in a namespace of their own, so that product code cannot call them by name.
#ifndef K440_SIM_SERVICE_API_H
#define K440_SIM_SERVICE_API_H

#include "win_types.h"

typedef struct SC_HANDLE__ *SC_HANDLE;

typedef struct _SERVICE_STATUS {
    DWORD dwServiceType;
    DWORD dwCurrentState;
    DWORD dwControlsAccepted;
    DWORD dwWin32ExitCode;
    DWORD dwServiceSpecificExitCode;
    DWORD dwCheckPoint;
    DWORD dwWaitHint;
} SERVICE_STATUS, *LPSERVICE_STATUS;

#define SC_MANAGER_CONNECT 0x0001
#define SERVICE_QUERY_STATUS 0x0004
#define SERVICE_STOPPED 0x00000001
#define SERVICE_RUNNING 0x00000004

#define ERROR_SERVICE_DOES_NOT_EXIST 1060L
#define ERROR_SERVICE_MARKED_FOR_DELETE 1072L

namespace advapi32_dll {

SC_HANDLE OpenSCManagerA(LPCSTR machine_name, LPCSTR database_name, DWORD access);
SC_HANDLE OpenServiceA(SC_HANDLE manager, LPCSTR service_name, DWORD access);
BOOL DeleteService(SC_HANDLE service);
BOOL QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status);
BOOL CloseServiceHandle(SC_HANDLE handle);

}  // namespace advapi32_dll

#endif
