// Code pages and languages of the simulated platform (kernel32).
#ifndef K440_SIM_NLS_API_H
#define K440_SIM_NLS_API_H

#include "win_types.h"

#define CP_ACP 0
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400

typedef WORD LANGID;
#define PRIMARYLANGID(language) ((WORD)(language) & 0x3FF)
#define LANG_ENGLISH 0x09
#define LANG_JAPANESE 0x11

UINT GetACP(void);
// Windows 2000 and later; the program finds it through GetProcAddress.
LANGID WINAPI GetUserDefaultUILanguage(void);

// Reads the ANSI code page, and code page 932 where the machine has it (Machine::code_page_932).
int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR text, int bytes, LPWSTR wide,
                        int wide_size);
int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length, LPSTR text,
                        int size, LPCSTR default_char, LPBOOL used_default_char);

#endif
