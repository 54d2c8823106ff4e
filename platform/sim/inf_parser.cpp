#include "inf_parser.h"

#include "mbcs.h"

namespace sim {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\x1a'; }

// True when only blanks follow `p` up to the end of its line.
bool rest_of_line_blank(const std::string &text, size_t p) {
    for (; p < text.size() && text[p] != '\n'; ++p)
        if (!is_blank(text[p])) return false;
    return true;
}

size_t skip_line(const std::string &text, size_t p) {
    while (p < text.size() && text[p] != '\n') p += char_length(text.c_str() + p);
    return p < text.size() ? p + 1 : p;
}

struct RawLine {
    bool header = false;
    std::string section;
    bool has_key = false;
    std::string key;
    std::vector<std::string> fields;
};

// One field in the making: `kept` is how much of `text` is quoted or followed by other text
// and survives the trimming of trailing blanks.
struct FieldText {
    std::string text;
    size_t kept = 0;
    bool started = false;
    std::string finish() {
        size_t end = text.size();
        while (end > kept && is_blank(text[end - 1])) --end;
        std::string out = text.substr(0, end);
        text.clear();
        kept = 0;
        started = false;
        return out;
    }
};

// Reads one logical line at `p` (continuations joined); false at the end of the text.
bool read_line(const std::string &text, size_t &p, RawLine *line) {
    *line = RawLine();
    while (p < text.size()) {
        while (p < text.size() && is_blank(text[p])) ++p;
        if (p >= text.size()) return false;
        if (text[p] == '\n' || text[p] == ';') {
            p = skip_line(text, p);
            continue;
        }
        if (text[p] == '[') {
            size_t end = p + 1;
            while (end < text.size() && text[end] != ']' && text[end] != '\n')
                end += char_length(text.c_str() + end);
            line->header = true;
            FieldText name;
            name.text = text.substr(p + 1, end - p - 1);
            size_t lead = 0;
            while (lead < name.text.size() && is_blank(name.text[lead])) ++lead;
            name.text.erase(0, lead);
            line->section = name.finish();
            p = skip_line(text, end);
            return true;
        }
        break;
    }
    if (p >= text.size()) return false;
    FieldText field;
    std::vector<std::string> parts;
    bool has_equal = false;
    std::string key;
    while (p < text.size()) {
        char c = text[p];
        if (c == '\n') {
            ++p;
            break;
        }
        if (c == ';') {
            p = skip_line(text, p);
            break;
        }
        if (c == '\\' && rest_of_line_blank(text, p + 1)) {
            p = skip_line(text, p + 1);  // the line goes on on the next one
            continue;
        }
        if (!field.started && is_blank(c)) {
            ++p;
            continue;
        }
        if (c == '"') {
            field.started = true;
            ++p;
            while (p < text.size() && text[p] != '\n') {
                if (text[p] == '"') {
                    if (p + 1 < text.size() && text[p + 1] == '"') {
                        field.text.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                size_t n = char_length(text.c_str() + p);
                field.text.append(text, p, n);
                p += n;
            }
            field.kept = field.text.size();
            continue;
        }
        if (c == '=' && !has_equal && parts.empty()) {
            has_equal = true;
            key = field.finish();
            ++p;
            continue;
        }
        if (c == ',') {
            parts.push_back(field.finish());
            ++p;
            continue;
        }
        size_t n = char_length(text.c_str() + p);
        field.started = true;
        field.text.append(text, p, n);
        if (!is_blank(c)) field.kept = field.text.size();
        p += n;
    }
    bool had_text = field.started || !parts.empty() || has_equal;
    std::string last = field.finish();
    if (had_text) parts.push_back(last);
    line->has_key = has_equal;
    line->key = key;
    line->fields = parts;
    return true;
}

std::string substitute(const std::string &text, const InfSection *strings) {
    if (text.find('%') == std::string::npos) return text;
    std::string out;
    size_t p = 0;
    while (p < text.size()) {
        size_t n = char_length(text.c_str() + p);
        if (n != 1 || text[p] != '%') {
            out.append(text, p, n);
            p += n;
            continue;
        }
        size_t close = text.find('%', p + 1);
        if (close == std::string::npos) {
            out.append(text, p, std::string::npos);
            break;
        }
        std::string name = text.substr(p + 1, close - p - 1);
        if (name.empty()) {
            out.push_back('%');
        } else {
            const InfLine *found = nullptr;
            if (strings)
                for (const InfLine &l : strings->lines)
                    if (l.has_key && equal_nocase(l.key, name)) {
                        found = &l;
                        break;
                    }
            if (found)
                out += found->fields.empty() ? std::string() : found->fields[0];
            else
                out += text.substr(p, close - p + 1);  // an undefined key stays as written
        }
        p = close + 1;
    }
    return out;
}

}  // namespace

const InfSection *InfFile::section(const std::string &name) const {
    for (const InfSection &s : sections)
        if (equal_nocase(s.name, name)) return &s;
    return nullptr;
}

InfFile parse_inf(const std::string &text) {
    InfFile inf;
    InfSection *current = nullptr;
    size_t p = 0;
    RawLine raw;
    while (read_line(text, p, &raw)) {
        if (raw.header) {
            current = nullptr;
            for (InfSection &s : inf.sections)
                if (equal_nocase(s.name, raw.section)) current = &s;
            if (!current) {
                inf.sections.emplace_back();
                current = &inf.sections.back();
                current->name = raw.section;
            }
            continue;
        }
        if (!current) continue;  // lines before the first section belong to none
        InfLine line;
        line.has_key = raw.has_key;
        line.key = raw.key;
        line.fields = raw.fields;
        current->lines.push_back(line);
    }
    // Substitution uses the texts of [Strings] as written.
    InfSection strings_copy;
    const InfSection *strings = inf.section("Strings");
    if (strings) strings_copy = *strings;
    for (InfSection &s : inf.sections)
        for (InfLine &l : s.lines) {
            l.key = substitute(l.key, strings ? &strings_copy : nullptr);
            for (std::string &f : l.fields) f = substitute(f, strings ? &strings_copy : nullptr);
            if (!l.has_key && l.fields.size() == 1) l.key = l.fields[0];
        }
    return inf;
}

bool inf_has_win4_signature(const InfFile &inf) {
    const InfSection *version = inf.section("Version");
    if (!version) return false;
    for (const InfLine &l : version->lines)
        if (l.has_key && equal_nocase(l.key, "Signature") && !l.fields.empty())
            return equal_nocase(l.fields[0], "$Windows NT$") || equal_nocase(l.fields[0], "$Chicago$");
    return false;
}

}  // namespace sim
