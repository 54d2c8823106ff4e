// Code-page aware text operations over char texts, on the C runtime's multibyte functions:
// a double-byte character is never split, and case follows the runtime's mapping: the
// single-byte letters and, under code page 932, the full-width Latin and Greek letters.
#ifndef K440_BASE_MBTEXT_H
#define K440_BASE_MBTEXT_H

#include "platform/win32.h"

inline char *mb_find_char(const char *text, unsigned int c) {
    return (char *)_mbschr((const unsigned char *)text, c);
}
inline char *mb_find_last_char(const char *text, unsigned int c) {
    return (char *)_mbsrchr((const unsigned char *)text, c);
}
inline char *mb_find_text(const char *text, const char *pattern) {
    return (char *)_mbsstr((const unsigned char *)text, (const unsigned char *)pattern);
}
inline int mb_equal_nocase(const char *a, const char *b) {
    return _mbsicmp((const unsigned char *)a, (const unsigned char *)b) == 0;
}
// Compares the first `count` bytes without regard to case.
inline int mb_prefix_equal_nocase(const char *text, const char *prefix, size_t count) {
    return _mbsnbicmp((const unsigned char *)text, (const unsigned char *)prefix, count) == 0;
}
inline char *mb_lower(char *text) { return (char *)_mbslwr((unsigned char *)text); }
inline char *mb_upper(char *text) { return (char *)_mbsupr((unsigned char *)text); }

#endif
