// Multibyte string functions of the simulated C runtime and user32, following the lead-byte
// rules of the simulated ANSI code page (932 by default, 1252 selectable).
#ifndef K440_SIM_MBCS_API_H
#define K440_SIM_MBCS_API_H

#include "win_types.h"

unsigned char *_mbschr(const unsigned char *text, unsigned int c);
unsigned char *_mbsrchr(const unsigned char *text, unsigned int c);
unsigned char *_mbsstr(const unsigned char *text, const unsigned char *pattern);
int _mbsicmp(const unsigned char *a, const unsigned char *b);
int _mbsnbicmp(const unsigned char *a, const unsigned char *b, size_t count);
unsigned char *_mbslwr(unsigned char *text);
unsigned char *_mbsupr(unsigned char *text);
LPSTR CharLowerA(LPSTR text);
LPSTR CharUpperA(LPSTR text);
LPSTR CharNextA(LPCSTR text);
BOOL IsDBCSLeadByte(BYTE c);
int lstrcmpiA(LPCSTR a, LPCSTR b);
int lstrlenA(LPCSTR text);

#endif
