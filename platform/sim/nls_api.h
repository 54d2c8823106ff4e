// Code page conversions of the simulated platform (kernel32).
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

#endif
