// The Unicode listing functions of the simulated platform (kernel32). The NT family lists
// true names; on Windows 98/ME they are stubs that fail with ERROR_CALL_NOT_IMPLEMENTED.
#ifndef K440_SIM_FILES_WIDE_API_H
#define K440_SIM_FILES_WIDE_API_H

#include "files_api.h"

typedef struct _WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    WCHAR cFileName[MAX_PATH];
    WCHAR cAlternateFileName[14];
} WIN32_FIND_DATAW, *PWIN32_FIND_DATAW, *LPWIN32_FIND_DATAW;

HANDLE WINAPI FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data);
BOOL WINAPI FindNextFileW(HANDLE search, LPWIN32_FIND_DATAW data);

#endif
