// Code-page aware text operations over char texts, on the C runtime's multibyte functions:
// a double-byte character is never split, and case follows the runtime's mapping: the
// single-byte letters and, under code page 932, the full-width Latin and Greek letters.
//
// Plain ASCII, the common case of the thousands of names a run reads, holds no lead byte and
// no letter but A-Z and a-z in any code page: such texts are handled here without the
// runtime, whose multibyte functions look up the code page for every character.
#ifndef K440_BASE_MBTEXT_H
#define K440_BASE_MBTEXT_H

#include "platform/win32.h"

inline int is_plain_ascii(const char *text) {
    for (; *text; ++text)
        if ((unsigned char)*text >= 0x80) return 0;
    return 1;
}

inline char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 32) : c; }

inline char *ascii_find_char(const char *text, char c, int last) {
    const char *found = 0;
    for (; *text; ++text)
        if (*text == c) {
            found = text;
            if (!last) break;
        }
    return (char *)found;
}

inline char *ascii_find_text(const char *text, const char *pattern) {
    for (; ; ++text) {
        size_t i = 0;
        while (pattern[i] && text[i] == pattern[i]) ++i;
        if (!pattern[i]) return (char *)text;
        if (!*text) return 0;
    }
}

inline char *mb_find_char(const char *text, unsigned int c) {
    if (c - 1 < 0x7F && is_plain_ascii(text)) return ascii_find_char(text, (char)c, 0);
    return (char *)_mbschr((const unsigned char *)text, c);
}
inline char *mb_find_last_char(const char *text, unsigned int c) {
    if (c - 1 < 0x7F && is_plain_ascii(text)) return ascii_find_char(text, (char)c, 1);
    return (char *)_mbsrchr((const unsigned char *)text, c);
}
inline char *mb_find_text(const char *text, const char *pattern) {
    if (is_plain_ascii(text)) return ascii_find_text(text, pattern);
    return (char *)_mbsstr((const unsigned char *)text, (const unsigned char *)pattern);
}
inline int mb_equal_nocase(const char *a, const char *b) {
    if (is_plain_ascii(a) && is_plain_ascii(b)) {
        for (; *a && ascii_lower(*a) == ascii_lower(*b); ++a, ++b) {
        }
        return *a == *b;
    }
    return _mbsicmp((const unsigned char *)a, (const unsigned char *)b) == 0;
}
// Compares the first `count` bytes without regard to case.
inline int mb_prefix_equal_nocase(const char *text, const char *prefix, size_t count) {
    return _mbsnbicmp((const unsigned char *)text, (const unsigned char *)prefix, count) == 0;
}
inline char *mb_lower(char *text) {
    if (!is_plain_ascii(text)) return (char *)_mbslwr((unsigned char *)text);
    for (char *c = text; *c; ++c) *c = ascii_lower(*c);
    return text;
}
inline char *mb_upper(char *text) { return (char *)_mbsupr((unsigned char *)text); }

#endif
