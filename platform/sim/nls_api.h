// Code page conversions and run-time function lookup of the simulated platform (kernel32).
#ifndef K440_SIM_NLS_API_H
#define K440_SIM_NLS_API_H

#include "win_types.h"

#define CP_ACP 0
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400

int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR text, int bytes, LPWSTR wide,
                        int wide_size);
int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length, LPSTR text,
                        int size, LPCSTR default_char, LPBOOL used_default_char);

typedef INT_PTR(WINAPI *FARPROC)(void);
// kernel32.dll and advapi32.dll are always loaded; GetProcAddress finds the functions that a
// program looks up at run time because not every Windows exports them.
HMODULE GetModuleHandleA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);

#endif
