// Code-page aware text operations over char texts, on the C runtime's multibyte functions:
// a double-byte character is never split, and case follows the runtime's mapping: the
// single-byte letters and, under code page 932, the full-width Latin and Greek letters.
// Plain ASCII, the common case of the thousands of names a run reads, is handled without the
// runtime, whose multibyte functions look up the code page for every character.
#ifndef K440_BASE_MBTEXT_H
#define K440_BASE_MBTEXT_H

#include <stddef.h>

char *mb_find_char(const char *text, unsigned int c);
char *mb_find_last_char(const char *text, unsigned int c);
char *mb_find_text(const char *text, const char *pattern);
int mb_equal_nocase(const char *a, const char *b);
// Compares the first `count` bytes without regard to case.
int mb_prefix_equal_nocase(const char *text, const char *prefix, size_t count);
char *mb_lower(char *text);
char *mb_upper(char *text);

#endif
