#include "inf_parser.h"

#include "inf_scanner.h"
#include "mbcs.h"

namespace sim {

int InfFile::section_index(const std::string &name) const {
    for (size_t i = 0; i < sections.size(); ++i)
        if (inf_names_equal(sections[i].name, name)) return (int)i;
    return -1;
}

const InfSection *InfFile::section(const std::string &name) const {
    int i = section_index(name);
    return i < 0 ? nullptr : &sections[i];
}

DWORD parse_inf(const std::string &text, InfFile *inf) {
    InfScanner parser(text, inf);
    while (parser.step()) {
    }
    if (parser.error) return parser.error;
    // Stray text before the first header is tolerated only in a file with [Strings].
    if (parser.stray_text && !inf->section("Strings")) return ERROR_EXPECTED_SECTION_NAME;
    return 0;
}

namespace {

// The lower-case partner of one character as SetupAPI's comparison of wide texts sees it:
// besides ASCII the accented letters of code page 1252, and the full-width Latin, Greek and
// Cyrillic letters of code page 932.
unsigned fold_name_char(unsigned c, size_t length) {
    if (length == 2) {
        if (c >= 0x8440 && c <= 0x844E) return c + 0x30;  // Cyrillic
        if (c >= 0x844F && c <= 0x8460) return c + 0x31;  // (the trail byte skips 0x7F)
        return lower_double_byte(c);
    }
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (active_code_page() != 1252) return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 0x10;
    if (c == 0x9F) return 0xFF;
    return c;
}

unsigned name_char_at(const std::string &text, size_t p, size_t *length) {
    *length = char_length(text.c_str() + p);
    unsigned c = (unsigned char)text[p];
    if (*length == 2) c = c << 8 | (unsigned char)text[p + 1];
    return fold_name_char(c, *length);
}

}  // namespace

bool inf_names_equal(const std::string &a, const std::string &b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        size_t na, nb;
        if (name_char_at(a, i, &na) != name_char_at(b, j, &nb)) return false;
        i += na;
        j += nb;
    }
    return i == a.size() && j == b.size();
}

bool inf_has_win4_signature(const InfFile &inf) {
    const InfSection *version = inf.section("Version");
    if (!version) return false;
    for (const InfLine &l : version->lines) {
        if (!l.has_key || !inf_names_equal(l.key, "Signature")) continue;
        if (l.fields.empty()) return false;
        const std::string &s = l.fields[0];
        return inf_names_equal(s, "$Windows NT$") || inf_names_equal(s, "$Chicago$") ||
               inf_names_equal(s, "$Windows 95$");
    }
    return false;
}

}  // namespace sim
