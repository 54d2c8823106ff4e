// Process, version, mutex and last-error functions of the simulated platform (kernel32).
#ifndef K440_SIM_SYSTEM_API_H
#define K440_SIM_SYSTEM_API_H

#include "win_types.h"

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

typedef struct _OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
} OSVERSIONINFOA, *POSVERSIONINFOA, *LPOSVERSIONINFOA;

BOOL GetVersionExA(LPOSVERSIONINFOA info);
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES security, BOOL initial_owner, LPCSTR name);
BOOL CloseHandle(HANDLE handle);
DWORD GetLastError(void);
void SetLastError(DWORD error);
HANDLE GetCurrentProcess(void);
void GetLocalTime(LPSYSTEMTIME time);
// The program's entry, declared by the platform headers and defined by the program.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show);

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalFree(HLOCAL memory);

#define LMEM_FIXED 0x0000
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

#endif
