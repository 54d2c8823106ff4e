// RegQueryValueExW of the simulated platform (advapi32): the data as the NT family stores it,
// texts in UTF-16LE. On Windows 98/ME it is a stub that fails with ERROR_CALL_NOT_IMPLEMENTED.
#ifndef K440_SIM_REGISTRY_WIDE_API_H
#define K440_SIM_REGISTRY_WIDE_API_H

#include "win_types.h"

LONG WINAPI RegQueryValueExW(HKEY key, LPCWSTR value_name, LPDWORD reserved, LPDWORD type,
                             LPBYTE data, LPDWORD data_size);

#endif
