#include "inf_strings.h"

#include <stdlib.h>

#include "mbcs.h"
#include "mbcs_api.h"

namespace sim {

namespace {

bool has_value(const InfSource &source, const std::string &name, std::string *value) {
    const InfSection *strings = source.inf->section("Strings");
    if (!strings) return false;
    for (const InfLine &line : strings->lines) {
        if (!line.has_key || !inf_names_equal(line.key, name)) continue;
        if (line.fields.empty()) return false;
        *value = line.fields[0];
        return true;
    }
    return false;
}

bool directory_of_id(const InfSource &source, const std::string &name, std::string *folder) {
    if (name.empty()) return false;
    char *end = nullptr;
    long id = strtol(name.c_str(), &end, 10);
    if (*end) return false;
    const std::string &windows = source.windows_dir;
    switch (id) {
        case 1: {
            size_t slash = source.path.rfind('\\');
            *folder = slash == std::string::npos ? "" : source.path.substr(0, slash + 1);
            return true;
        }
        case 10: *folder = windows; return true;
        case 11: *folder = windows + "\\system32"; return true;
        case 12: *folder = windows + "\\system32\\drivers"; return true;
        case 17: *folder = windows + "\\inf"; return true;
        case 24: *folder = windows.substr(0, 3); return true;
        default: return false;
    }
}

}  // namespace

std::string inf_substitute(const InfSource &source, const std::string &text) {
    std::string out;
    size_t p = 0;
    while (p < text.size()) {
        size_t n = char_length(text.c_str() + p);
        if (n != 1 || text[p] != '%') {
            out.append(text, p, n);
            p += n;
            continue;
        }
        size_t close = p + 1;
        while (close < text.size() && text[close] != '%') close += char_length(text.c_str() + close);
        if (close >= text.size()) {
            out.append(text, p, std::string::npos);  // an unclosed "%"
            break;
        }
        std::string name = text.substr(p + 1, close - p - 1);
        std::string value;
        if (name.empty()) {
            out.push_back('%');
        } else if (has_value(source, name, &value)) {
            out += value;
        } else if (directory_of_id(source, name, &value)) {
            if (close + 1 < text.size() && text[close + 1] == '\\' && !value.empty() &&
                value.back() == '\\')
                value.pop_back();
            out += value;
        } else {
            out.append(text, p, close - p + 1);  // an unknown key stays as written
        }
        p = close + 1;
    }
    return out;
}

}  // namespace sim
