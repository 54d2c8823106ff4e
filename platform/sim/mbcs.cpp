#include "mbcs.h"

#include <cstring>

#include "machine.h"
#include "mbcs_api.h"

namespace sim {

unsigned active_code_page() { return has_current_process() ? current_machine().code_page : 932; }

unsigned lower_double_byte(unsigned unit) {
    if (unit >= 0x8260 && unit <= 0x8279) return unit + 0x21;  // full-width Latin
    if (unit >= 0x839F && unit <= 0x83B6) return unit + 0x20;  // Greek
    return unit;
}

unsigned upper_double_byte(unsigned unit) {
    if (unit >= 0x8281 && unit <= 0x829A) return unit - 0x21;
    if (unit >= 0x83BF && unit <= 0x83D6) return unit - 0x20;
    return unit;
}

namespace {

unsigned char lower_byte(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }
unsigned char upper_byte(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

template <typename ByteMap, typename UnitMap>
unsigned char *map_in_place(unsigned char *text, ByteMap map, UnitMap map_unit) {
    for (unsigned char *p = text; *p;) {
        size_t n = char_length(reinterpret_cast<const char *>(p));
        if (n == 1) {
            *p = map(*p);
        } else {
            unsigned unit = map_unit(p[0] << 8 | p[1]);
            p[0] = (unsigned char)(unit >> 8);
            p[1] = (unsigned char)unit;
        }
        p += n;
    }
    return text;
}

// Compares one character of each text; returns the difference of the folded units.
int compare_char(const unsigned char *a, const unsigned char *b, size_t *advance) {
    size_t na = char_length(reinterpret_cast<const char *>(a));
    size_t nb = char_length(reinterpret_cast<const char *>(b));
    unsigned ua = na == 2 ? lower_double_byte(a[0] << 8 | a[1]) : lower_byte(a[0]);
    unsigned ub = nb == 2 ? lower_double_byte(b[0] << 8 | b[1]) : lower_byte(b[0]);
    *advance = na;
    return (int)ua - (int)ub;
}

}  // namespace

bool is_lead_byte(unsigned char c) { return is_lead_byte_in(c, active_code_page()); }

bool is_lead_byte_in(unsigned char c, unsigned code_page) {
    return code_page == 932 && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC));
}

size_t char_length(const char *text) {
    return (is_lead_byte((unsigned char)text[0]) && text[1] != '\0') ? 2 : 1;
}

bool equal_nocase(const std::string &a, const std::string &b) {
    return _mbsicmp(reinterpret_cast<const unsigned char *>(a.c_str()),
                    reinterpret_cast<const unsigned char *>(b.c_str())) == 0;
}

std::string lower(const std::string &text) {
    std::string copy = text;
    map_in_place(reinterpret_cast<unsigned char *>(&copy[0]), lower_byte, lower_double_byte);
    return copy;
}

std::string upper(const std::string &text) {
    std::string copy = text;
    map_in_place(reinterpret_cast<unsigned char *>(&copy[0]), upper_byte, upper_double_byte);
    return copy;
}

size_t last_separator(const std::string &path) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size(); i += char_length(path.c_str() + i))
        if (path[i] == '\\') last = i;
    return last;
}

}  // namespace sim

using sim::char_length;

unsigned char *_mbschr(const unsigned char *text, unsigned int c) {
    for (const unsigned char *p = text;; p += char_length(reinterpret_cast<const char *>(p))) {
        size_t n = char_length(reinterpret_cast<const char *>(p));
        unsigned unit = n == 2 ? (p[0] << 8 | p[1]) : p[0];
        if (unit == c) return const_cast<unsigned char *>(p);
        if (*p == '\0') return nullptr;
    }
}

unsigned char *_mbsrchr(const unsigned char *text, unsigned int c) {
    const unsigned char *found = nullptr;
    for (const unsigned char *p = text;; p += char_length(reinterpret_cast<const char *>(p))) {
        size_t n = char_length(reinterpret_cast<const char *>(p));
        unsigned unit = n == 2 ? (p[0] << 8 | p[1]) : p[0];
        if (unit == c) found = p;
        if (*p == '\0') break;
    }
    return const_cast<unsigned char *>(found);
}

unsigned char *_mbsstr(const unsigned char *text, const unsigned char *pattern) {
    size_t plen = strlen(reinterpret_cast<const char *>(pattern));
    for (const unsigned char *p = text;; p += char_length(reinterpret_cast<const char *>(p))) {
        if (strncmp(reinterpret_cast<const char *>(p), reinterpret_cast<const char *>(pattern),
                    plen) == 0)
            return const_cast<unsigned char *>(p);
        if (*p == '\0') return nullptr;
    }
}

int _mbsicmp(const unsigned char *a, const unsigned char *b) {
    for (;;) {
        size_t step;
        int d = sim::compare_char(a, b, &step);
        if (d != 0) return d < 0 ? -1 : 1;
        if (*a == '\0') return 0;
        a += step;
        b += step;
    }
}

int _mbsnbicmp(const unsigned char *a, const unsigned char *b, size_t count) {
    size_t done = 0;
    while (done < count) {
        size_t step;
        int d = sim::compare_char(a, b, &step);
        // A double-byte character cut by the byte count compares by its lead byte alone.
        if (step == 2 && done + 1 == count) d = (int)a[0] - (int)b[0];
        if (d != 0) return d < 0 ? -1 : 1;
        if (*a == '\0') return 0;
        a += step;
        b += step;
        done += step;
    }
    return 0;
}

unsigned char *_mbslwr(unsigned char *text) {
    return sim::map_in_place(text, sim::lower_byte, sim::lower_double_byte);
}
unsigned char *_mbsupr(unsigned char *text) {
    return sim::map_in_place(text, sim::upper_byte, sim::upper_double_byte);
}

LPSTR CharLowerA(LPSTR text) {
    return reinterpret_cast<LPSTR>(_mbslwr(reinterpret_cast<unsigned char *>(text)));
}
LPSTR CharUpperA(LPSTR text) {
    return reinterpret_cast<LPSTR>(_mbsupr(reinterpret_cast<unsigned char *>(text)));
}
LPSTR CharNextA(LPCSTR text) {
    return const_cast<LPSTR>(*text ? text + char_length(text) : text);
}
BOOL IsDBCSLeadByte(BYTE c) { return sim::is_lead_byte(c) ? TRUE : FALSE; }
int lstrcmpiA(LPCSTR a, LPCSTR b) {
    return _mbsicmp(reinterpret_cast<const unsigned char *>(a),
                    reinterpret_cast<const unsigned char *>(b));
}
int lstrlenA(LPCSTR text) { return text ? (int)strlen(text) : 0; }
