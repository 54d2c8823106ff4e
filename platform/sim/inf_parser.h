// The INF syntax that SetupAPI's parser reads: sections (names without regard to case, equal
// names merged), lines with an optional key before "=", comma-separated fields, quoted
// fields ("" for a quote), ";" comments, "\" line continuation and %key% substitution from
// [Strings] (%% for a percent sign). Bytes are read in the machine's code page, so that a
// trail byte never counts as one of these characters.
#ifndef K440_SIM_INF_PARSER_H
#define K440_SIM_INF_PARSER_H

#include <string>
#include <vector>

namespace sim {

struct InfLine {
    bool has_key = false;
    std::string key;                  // substituted; for a keyless line of one field, that field
    std::vector<std::string> fields;  // field 1, 2, ... (substituted)
};

struct InfSection {
    std::string name;
    std::vector<InfLine> lines;
};

struct InfFile {
    std::vector<InfSection> sections;
    const InfSection *section(const std::string &name) const;  // nullptr when missing
};

InfFile parse_inf(const std::string &text);
// The [Version] signature: "$Windows NT$" or "$Chicago$" (without regard to case).
bool inf_has_win4_signature(const InfFile &inf);

}  // namespace sim

#endif
