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

unsigned char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : (unsigned char)c; }

}  // namespace

bool inf_names_equal(const std::string &a, const std::string &b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        size_t na = char_length(a.c_str() + i), nb = char_length(b.c_str() + j);
        if (na != nb) return false;
        if (na == 2 ? a.compare(i, 2, b, j, 2) != 0
                    : ascii_lower(a[i]) != ascii_lower(b[j]))
            return false;
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
