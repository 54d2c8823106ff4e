// The profile-file format (".ini") as the platform reads and writes it: lines ended by CR LF,
// sections headed "[name]", lines "key=value" below them. Names of sections and keys are
// compared without regard to case and to the blanks around them. Writing keeps every other
// line of the file as it was: an existing key's line is replaced in place, a new key goes
// behind the last line of its section, a new section goes to the end of the file.
#ifndef K440_SIM_PROFILE_FILE_H
#define K440_SIM_PROFILE_FILE_H

#include <string>
#include <vector>

namespace sim {

struct ProfileEntry {
    std::string key;    // trimmed; the whole trimmed line when it has no "="
    std::string value;  // trimmed
    bool has_value = false;
};

struct ProfileFile {
    std::vector<std::string> lines;

    static ProfileFile parse(const std::string &content);
    std::string text() const;

    // The readable entries of the first section of that name, in file order: blank lines
    // and comments (";") are passed over. False when there is no such section.
    bool section_entries(const std::string &section, std::vector<ProfileEntry> *entries) const;
    std::vector<std::string> section_names() const;

    void set_value(const std::string &section, const std::string &key, const std::string &value);
    void delete_key(const std::string &section, const std::string &key);
    void delete_section(const std::string &section);
    // Replaces the whole body of the section (comments and blank lines included) by `lines`.
    void replace_section(const std::string &section, const std::vector<std::string> &lines);
};

std::string trim_blanks(const std::string &text);

}  // namespace sim

#endif
