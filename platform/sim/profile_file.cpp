#include "profile_file.h"

#include "mbcs.h"

namespace sim {

namespace {

const size_t npos = std::string::npos;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\x1a'; }

// The section name of a header line, or false when the line is not one.
bool header_name(const std::string &line, std::string *name) {
    std::string t = trim_blanks(line);
    if (t.empty() || t[0] != '[') return false;
    size_t close = t.rfind(']');
    if (close == npos) return false;
    *name = trim_blanks(t.substr(1, close - 1));
    return true;
}

ProfileEntry entry_of(const std::string &line) {
    ProfileEntry e;
    std::string t = trim_blanks(line);
    size_t eq = t.find('=');
    if (eq == npos) {
        e.key = t;
        return e;
    }
    e.key = trim_blanks(t.substr(0, eq));
    e.value = trim_blanks(t.substr(eq + 1));
    e.has_value = true;
    return e;
}

bool is_comment_or_blank(const std::string &line) {
    std::string t = trim_blanks(line);
    return t.empty() || t[0] == ';';
}

size_t find_header(const std::vector<std::string> &lines, const std::string &section) {
    std::string wanted = trim_blanks(section), name;
    for (size_t i = 0; i < lines.size(); ++i)
        if (header_name(lines[i], &name) && equal_nocase(name, wanted)) return i;
    return npos;
}

// One past the last line of the section whose header is at `header`.
size_t section_end(const std::vector<std::string> &lines, size_t header) {
    std::string name;
    size_t i = header + 1;
    while (i < lines.size() && !header_name(lines[i], &name)) ++i;
    return i;
}

// Where a new line of the section goes: behind its last line that is not blank.
size_t insertion_point(const std::vector<std::string> &lines, size_t header) {
    size_t end = section_end(lines, header);
    while (end > header + 1 && trim_blanks(lines[end - 1]).empty()) --end;
    return end;
}

size_t find_key(const std::vector<std::string> &lines, size_t header, const std::string &key) {
    std::string wanted = trim_blanks(key);
    size_t end = section_end(lines, header);
    for (size_t i = header + 1; i < end; ++i) {
        if (is_comment_or_blank(lines[i])) continue;
        ProfileEntry e = entry_of(lines[i]);
        if (e.has_value && equal_nocase(e.key, wanted)) return i;
    }
    return npos;
}

}  // namespace

std::string trim_blanks(const std::string &text) {
    size_t begin = 0, end = text.size();
    while (begin < end && is_blank(text[begin])) ++begin;
    while (end > begin && is_blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

ProfileFile ProfileFile::parse(const std::string &content) {
    ProfileFile file;
    size_t start = 0;
    while (start < content.size()) {
        size_t nl = content.find('\n', start);
        std::string line = content.substr(start, nl == npos ? npos : nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        file.lines.push_back(line);
        if (nl == npos) break;
        start = nl + 1;
    }
    return file;
}

std::string ProfileFile::text() const {
    std::string out;
    for (const std::string &line : lines) out += line + "\r\n";
    return out;
}

bool ProfileFile::section_entries(const std::string &section,
                                  std::vector<ProfileEntry> *entries) const {
    size_t header = find_header(lines, section);
    if (header == npos) return false;
    size_t end = section_end(lines, header);
    for (size_t i = header + 1; i < end; ++i)
        if (!is_comment_or_blank(lines[i])) entries->push_back(entry_of(lines[i]));
    return true;
}

std::vector<std::string> ProfileFile::section_names() const {
    std::vector<std::string> names;
    std::string name;
    for (const std::string &line : lines)
        if (header_name(line, &name)) names.push_back(name);
    return names;
}

void ProfileFile::set_value(const std::string &section, const std::string &key,
                            const std::string &value) {
    std::string line = trim_blanks(key) + "=" + trim_blanks(value);
    size_t header = find_header(lines, section);
    if (header == npos) {
        lines.push_back("[" + trim_blanks(section) + "]");
        lines.push_back(line);
        return;
    }
    size_t at = find_key(lines, header, key);
    if (at != npos)
        lines[at] = line;
    else
        lines.insert(lines.begin() + insertion_point(lines, header), line);
}

void ProfileFile::delete_key(const std::string &section, const std::string &key) {
    size_t header = find_header(lines, section);
    if (header == npos) return;
    size_t at = find_key(lines, header, key);
    if (at != npos) lines.erase(lines.begin() + at);
}

void ProfileFile::delete_section(const std::string &section) {
    size_t header = find_header(lines, section);
    if (header == npos) return;
    lines.erase(lines.begin() + header, lines.begin() + section_end(lines, header));
}

void ProfileFile::replace_section(const std::string &section,
                                  const std::vector<std::string> &body) {
    size_t header = find_header(lines, section);
    if (header == npos) {
        lines.push_back("[" + trim_blanks(section) + "]");
        lines.insert(lines.end(), body.begin(), body.end());
        return;
    }
    size_t end = section_end(lines, header);
    lines.erase(lines.begin() + header + 1, lines.begin() + end);
    lines.insert(lines.begin() + header + 1, body.begin(), body.end());
}

}  // namespace sim
