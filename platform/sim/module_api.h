// Modules and their exports in the simulated platform (kernel32): what a program finds at run
// time with LoadLibraryA, GetModuleHandleA and GetProcAddress. The modules are kernel32,
// advapi32 and user32, which the product imports, and setupapi, which it loads; an export
// exists only on the Windows versions that ship it.
#ifndef K440_SIM_MODULE_API_H
#define K440_SIM_MODULE_API_H

#include "win_types.h"

typedef INT_PTR(WINAPI *FARPROC)();

#ifndef ERROR_MOD_NOT_FOUND
#define ERROR_MOD_NOT_FOUND 126L
#endif
#ifndef ERROR_PROC_NOT_FOUND
#define ERROR_PROC_NOT_FOUND 127L
#endif

HMODULE LoadLibraryA(LPCSTR file_name);
BOOL FreeLibrary(HMODULE module);
HMODULE GetModuleHandleA(LPCSTR module_name);
FARPROC GetProcAddress(HMODULE module, LPCSTR proc_name);

#endif
