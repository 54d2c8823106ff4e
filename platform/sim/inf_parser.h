// The INF syntax that SetupAPI's parser reads, over text in the machine's code page (a trail
// byte never counts as syntax): [section] headers (names as written, blanks included, without
// regard to case, equal names merged, at most 255 characters), lines with an optional key
// before "=", comma-separated fields, quoted parts ("" for a quote), ";" comments, "\" at the
// end of a line (before blanks or a comment) joining the next line, Ctrl-Z as the end of the
// file, a NUL byte as text that reads as a blank, and fields cut at 511 characters. Texts
// are kept as written; %key% substitution happens when a field is read (inf_strings.h).
#ifndef K440_SIM_INF_PARSER_H
#define K440_SIM_INF_PARSER_H

#include <string>
#include <vector>

#include "win_types.h"

#define ERROR_EXPECTED_SECTION_NAME ((DWORD)0xE0000000)
#define ERROR_BAD_SECTION_NAME_LINE ((DWORD)0xE0000001)
#define ERROR_SECTION_NAME_TOO_LONG ((DWORD)0xE0000002)

namespace sim {

struct InfLine {
    bool has_key = false;             // "key = ..." or a line of one field (keyed by it)
    std::string key;
    std::vector<std::string> fields;  // field 1, 2, ...
};

struct InfSection {
    std::string name;
    std::vector<InfLine> lines;
};

struct InfFile {
    std::vector<InfSection> sections;
    int section_index(const std::string &name) const;  // -1 when missing
    const InfSection *section(const std::string &name) const;
};

// Parses `text`; on a syntax error returns its code (ERROR_*) and leaves `inf` incomplete.
DWORD parse_inf(const std::string &text, InfFile *inf);
// Section and key names compare as SetupAPI compares them, as wide texts without regard to the
// case of ASCII letters only (full-width, Greek or accented letters compare exactly).
bool inf_names_equal(const std::string &a, const std::string &b);
// The [Version] signature as written: "$Windows NT$", "$Chicago$" or "$Windows 95$".
bool inf_has_win4_signature(const InfFile &inf);

}  // namespace sim

#endif
