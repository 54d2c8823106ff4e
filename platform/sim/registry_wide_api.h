// RegQueryValueExW and RegEnumKeyExW of the simulated platform (advapi32): data and key names
// as the NT family stores them, texts in UTF-16LE. On Windows 98/ME they are stubs that fail
// with ERROR_CALL_NOT_IMPLEMENTED.
#ifndef K440_SIM_REGISTRY_WIDE_API_H
#define K440_SIM_REGISTRY_WIDE_API_H

#include "win_types.h"

LONG WINAPI RegQueryValueExW(HKEY key, LPCWSTR value_name, LPDWORD reserved, LPDWORD type,
                             LPBYTE data, LPDWORD data_size);

// The subkey's true name; sizes count UTF-16 units, the terminator included on the way in.
LONG WINAPI RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD name_size, LPDWORD reserved,
                          LPWSTR class_name, LPDWORD class_size, PFILETIME last_write);

#endif
