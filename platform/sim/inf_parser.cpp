#include "inf_parser.h"

#include "inf_scanner.h"
#include "mbcs_api.h"

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

bool inf_names_equal(const std::string &a, const std::string &b) {
    return _mbsicmp(reinterpret_cast<const unsigned char *>(a.c_str()),
                    reinterpret_cast<const unsigned char *>(b.c_str())) == 0;
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
