#include "fixture_loader.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "mbcs.h"

namespace sim {

namespace {

std::string trim(const std::string &s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

bool starts_with_nocase(const std::string &s, const std::string &prefix) {
    return s.size() >= prefix.size() && equal_nocase(s.substr(0, prefix.size()), prefix);
}

// Reads a quoted .reg string starting at s[*pos] == '"'; handles \\ and \". regedit reads a
// REGEDIT4 file as text of the ANSI code page, so a double-byte character whose trail byte is
// a backslash or a quote ("\x83\x5c" in code page 932) stays one character.
bool read_quoted(const std::string &s, size_t *pos, std::string *out) {
    if (*pos >= s.size() || s[*pos] != '"') return false;
    out->clear();
    for (size_t i = *pos + 1; i < s.size(); ++i) {
        if (is_lead_byte((unsigned char)s[i]) && i + 1 < s.size()) {
            out->push_back(s[i]);
            out->push_back(s[++i]);
        } else if (s[i] == '\\' && i + 1 < s.size()) {
            out->push_back(s[++i]);
        } else if (s[i] == '"') {
            *pos = i + 1;
            return true;
        } else {
            out->push_back(s[i]);
        }
    }
    return false;
}

bool parse_hex_bytes(const std::string &text, std::vector<uint8_t> *out) {
    out->clear();
    std::string token;
    std::istringstream in(text);
    while (std::getline(in, token, ',')) {
        token = trim(token);
        if (token.empty()) continue;
        unsigned value;
        if (std::sscanf(token.c_str(), "%2x", &value) != 1) return false;
        out->push_back((uint8_t)value);
    }
    return true;
}

// Version 5.00 files hold REG_EXPAND_SZ and REG_MULTI_SZ data as UTF-16LE; the machine keeps
// ANSI bytes.
std::vector<uint8_t> narrow_utf16(const std::vector<uint8_t> &wide) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < wide.size(); i += 2) {
        unsigned c = wide[i] | (wide[i + 1] << 8);
        out.push_back(c < 0x100 ? (uint8_t)c : '?');
    }
    return out;
}

// "HKEY_LOCAL_MACHINE\X\Y" -> "X\Y"; false for other roots.
bool hklm_path(const std::string &name, std::string *path) {
    static const char *roots[] = {"HKEY_LOCAL_MACHINE", "HKLM"};
    for (const char *root : roots) {
        std::string r = root;
        if (equal_nocase(name, r)) {
            path->clear();
            return true;
        }
        if (starts_with_nocase(name, r + "\\")) {
            *path = name.substr(r.size() + 1);
            return true;
        }
    }
    return false;
}

std::string unescape(const std::string &s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char c = s[++i];
            out.push_back(c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c);
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

std::string digest(const std::string &content) {
    unsigned long long h = 1469598103934665603ULL;
    for (unsigned char c : content) h = (h ^ c) * 1099511628211ULL;
    char text[32];
    std::snprintf(text, sizeof text, "%016llx", h);
    return text;
}

void export_key(const RegKey &key, const std::string &path, std::vector<std::string> *lines) {
    lines->push_back("[" + path + "]");
    for (const RegValue &v : key.values) {
        std::string line = "  \"" + v.name + "\" " + std::to_string(v.type) + " ";
        char b[4];
        for (uint8_t c : v.data) {
            std::snprintf(b, sizeof b, "%02x", c);
            line += b;
        }
        lines->push_back(line);
    }
    for (const auto &c : key.subkeys) export_key(*c, path.empty() ? c->name : path + "\\" + c->name, lines);
}

}  // namespace

bool read_text_file(const std::string &path, std::string *text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    *text = s.str();
    return true;
}

bool load_reg_text(Registry &registry, const std::string &raw, std::string *error) {
    // Hex data may go on over several lines, each but the last ending in a backslash.
    std::vector<std::string> lines;
    std::istringstream in(raw);
    std::string line, current;
    bool continued = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        current = continued ? current + trim(line) : line;
        std::string t = trim(current);
        if (!t.empty() && t.back() == '\\' && t.find("=hex") != std::string::npos) {
            current = t.substr(0, t.size() - 1);
            continued = true;
            continue;
        }
        lines.push_back(current);
        continued = false;
    }
    if (continued) lines.push_back(current);

    bool header = false;
    bool in_hklm = false;
    std::string key_path;
    int number = 0;
    for (const std::string &l : lines) {
        ++number;
        std::string t = trim(l);
        if (t.empty() || t[0] == ';') continue;
        if (!header) {
            if (t != "REGEDIT4" && t.find("Windows Registry Editor Version 5.00") == std::string::npos) {
                if (error) *error = "not a registry file";
                return false;
            }
            header = true;
            continue;
        }
        if (t[0] == '[') {
            std::string name = t.substr(1, t.find(']') - 1);
            bool remove = !name.empty() && name[0] == '-';
            if (remove) name = name.substr(1);
            in_hklm = hklm_path(name, &key_path);
            if (in_hklm && remove) {
                registry.remove_tree(key_path);
                in_hklm = false;
            } else if (in_hklm) {
                registry.create(key_path);
            }
            continue;
        }
        if (!in_hklm) continue;
        std::string name;
        size_t pos = 0;
        if (t[0] == '@') {
            pos = 1;
        } else if (!read_quoted(t, &pos, &name)) {
            if (error) *error = "line " + std::to_string(number) + ": bad value name";
            return false;
        }
        pos = t.find('=', pos);
        if (pos == std::string::npos) {
            if (error) *error = "line " + std::to_string(number) + ": no '='";
            return false;
        }
        std::string data = trim(t.substr(pos + 1));
        RegKey *key = registry.create(key_path);
        if (data == "-") {
            auto &vals = key->values;
            vals.erase(std::remove_if(vals.begin(), vals.end(),
                                      [&](const RegValue &v) { return equal_nocase(v.name, name); }),
                       vals.end());
            continue;
        }
        if (!data.empty() && data[0] == '"') {
            std::string text;
            size_t p = 0;
            if (!read_quoted(data, &p, &text)) {
                if (error) *error = "line " + std::to_string(number) + ": bad string";
                return false;
            }
            registry.set_string(key_path, name, text);
        } else if (starts_with_nocase(data, "dword:")) {
            unsigned value = 0;
            std::sscanf(data.c_str() + 6, "%x", &value);
            registry.set_dword(key_path, name, value);
        } else if (starts_with_nocase(data, "hex")) {
            unsigned type = 3;
            size_t colon = data.find(':');
            if (colon == std::string::npos) {
                if (error) *error = "line " + std::to_string(number) + ": bad hex";
                return false;
            }
            if (data[3] == '(') std::sscanf(data.c_str() + 4, "%x", &type);
            std::vector<uint8_t> bytes;
            if (!parse_hex_bytes(data.substr(colon + 1), &bytes)) {
                if (error) *error = "line " + std::to_string(number) + ": bad hex bytes";
                return false;
            }
            bool unicode = raw.find("Windows Registry Editor Version 5.00") != std::string::npos;
            if (unicode && (type == 2 || type == 7)) bytes = narrow_utf16(bytes);
            registry.set_value(key_path, name, type, bytes);
        } else {
            if (error) *error = "line " + std::to_string(number) + ": unknown data";
            return false;
        }
    }
    return true;
}

bool load_reg_file(Registry &registry, const std::string &path, std::string *error) {
    std::string text;
    if (!read_text_file(path, &text)) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    return load_reg_text(registry, text, error);
}

bool load_file_list(FileSystem &files, const std::string &path, std::string *error) {
    std::string text;
    if (!read_text_file(path, &text)) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    std::string dir = path.substr(0, path.find_last_of('/') + 1);
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream f(line);
        std::string field;
        while (std::getline(f, field, '\t')) fields.push_back(field);
        if (fields.size() < 2) {
            if (error) *error = "bad file line: " + line;
            return false;
        }
        const std::string &attrs = fields[0];
        DWORD attributes = 0x20;
        bool folder = false, in_use = false;
        for (char c : attrs) {
            if (c == 'R') attributes |= 0x01;
            if (c == 'H') attributes |= 0x02;
            if (c == 'S') attributes |= 0x04;
            if (c == 'D') folder = true;
            if (c == 'U') in_use = true;
        }
        if (folder) {
            if (!files.make_dir(fields[1])) {
                if (error) *error = "cannot make folder " + fields[1];
                return false;
            }
            continue;
        }
        std::string content = fields.size() > 2 ? fields[2] : "";
        if (!content.empty() && content[0] == '@') {
            if (!read_text_file(dir + content.substr(1), &content)) {
                if (error) *error = "cannot read " + dir + fields[2].substr(1);
                return false;
            }
        } else {
            content = unescape(content);
        }
        FileNode *node = files.write_file(fields[1], content, attributes);
        if (!node) {
            if (error) *error = "cannot write " + fields[1];
            return false;
        }
        node->in_use = in_use;
    }
    return true;
}

bool load_machine(Machine &machine, const std::string &dir, std::string *error) {
    std::string probe;
    if (read_text_file(dir + "/registry.reg", &probe) &&
        !load_reg_text(machine.registry, probe, error))
        return false;
    if (read_text_file(dir + "/files.txt", &probe) &&
        !load_file_list(machine.files, dir + "/files.txt", error))
        return false;
    return true;
}

std::string export_registry(const Registry &registry) {
    std::vector<std::string> lines;
    export_key(*registry.hklm, "", &lines);
    std::string out;
    for (const std::string &l : lines) out += l + "\n";
    return out;
}

std::string export_files(const FileSystem &files) {
    std::string out;
    for (const std::string &path : files.list_all()) {
        FileNode *node = files.find(path.back() == '\\' ? path.substr(0, path.size() - 1) : path);
        char attrs[16];
        std::snprintf(attrs, sizeof attrs, "%02x", node ? (unsigned)node->attributes : 0u);
        out += path + " " + attrs + (node && !node->is_dir ? " " + digest(node->content) : "") + "\n";
    }
    return out;
}

}  // namespace sim
