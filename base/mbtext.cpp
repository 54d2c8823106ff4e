#include "base/mbtext.h"

#include "platform/win32.h"

namespace {

// No code page has a lead byte below 0x80, nor a letter there but A-Z and a-z.
int is_plain_ascii(const char *text) {
    for (; *text; ++text)
        if ((unsigned char)*text >= 0x80) return 0;
    return 1;
}

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 32) : c; }

char *ascii_find_char(const char *text, char c, int last) {
    const char *found = 0;
    for (; *text; ++text)
        if (*text == c) {
            found = text;
            if (!last) break;
        }
    return (char *)found;
}

char *ascii_find_text(const char *text, const char *pattern) {
    for (;; ++text) {
        size_t i = 0;
        while (pattern[i] && text[i] == pattern[i]) ++i;
        if (!pattern[i]) return (char *)text;
        if (!*text) return 0;
    }
}

}  // namespace

char *mb_find_char(const char *text, unsigned int c) {
    if (c - 1 < 0x7F && is_plain_ascii(text)) return ascii_find_char(text, (char)c, 0);
    return (char *)_mbschr((const unsigned char *)text, c);
}

char *mb_find_last_char(const char *text, unsigned int c) {
    if (c - 1 < 0x7F && is_plain_ascii(text)) return ascii_find_char(text, (char)c, 1);
    return (char *)_mbsrchr((const unsigned char *)text, c);
}

char *mb_find_text(const char *text, const char *pattern) {
    if (is_plain_ascii(text)) return ascii_find_text(text, pattern);
    return (char *)_mbsstr((const unsigned char *)text, (const unsigned char *)pattern);
}

int mb_equal_nocase(const char *a, const char *b) {
    if (is_plain_ascii(a) && is_plain_ascii(b)) {
        while (*a && ascii_lower(*a) == ascii_lower(*b)) ++a, ++b;
        return *a == *b;
    }
    return _mbsicmp((const unsigned char *)a, (const unsigned char *)b) == 0;
}

int mb_prefix_equal_nocase(const char *text, const char *prefix, size_t count) {
    return _mbsnbicmp((const unsigned char *)text, (const unsigned char *)prefix, count) == 0;
}

char *mb_lower(char *text) {
    if (!is_plain_ascii(text)) return (char *)_mbslwr((unsigned char *)text);
    for (char *c = text; *c; ++c) *c = ascii_lower(*c);
    return text;
}

char *mb_upper(char *text) { return (char *)_mbsupr((unsigned char *)text); }
