// Short (8.3) names of the simulated file system, as a FAT volume of Windows 98/ME keeps them:
// a name that is already a legal 8.3 name is its own short name; any other gets an alias the
// first time one is asked for (stored with the file, so that it stays the same): the upper-
// cased name without blanks and inner dots, characters not allowed in short names as "_",
// the first six bytes of the base, "~" and the lowest number that no sibling uses, and the
// first three bytes of the extension.
#include <cstring>

#include "files_api.h"
#include "machine.h"
#include "mbcs.h"
#include "system_api.h"

using namespace sim;

namespace {

bool is_short_char(unsigned char c) {
    if (c < 0x20) return false;
    return !strchr(" \"*+,/:;<=>?[\\]|.", c);
}

bool is_legal_short_name(const std::string &name) {
    if (name == "." || name == "..") return true;
    size_t dot = name.find('.');
    std::string base = name.substr(0, dot);
    std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
    if (dot != std::string::npos && ext.empty()) return false;
    std::string letters = base + ext;
    for (size_t i = 0; i < letters.size(); i += char_length(letters.c_str() + i))
        if (char_length(letters.c_str() + i) == 1 && !is_short_char((unsigned char)letters[i]))
            return false;
    return true;
}

// The next backslash at or after `at` that is not the second byte of a double-byte character.
size_t find_separator(const std::string &path, size_t at) {
    for (size_t i = at; i < path.size(); i += char_length(path.c_str() + i))
        if (path[i] == '\\') return i;
    return std::string::npos;
}

// Upper-cased, with blanks and dots dropped and other unusable characters as "_"; never
// ends within a double-byte character when cut to `limit` bytes.
std::string alias_part(const std::string &text, size_t limit) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t n = char_length(text.c_str() + i);
        unsigned char c = (unsigned char)text[i];
        if (n == 1 && (c == ' ' || c == '.')) {
            ++i;
            continue;
        }
        std::string piece = n == 2 ? text.substr(i, 2) : std::string(1, (char)c);
        if (n == 1 && !is_short_char(c)) piece = "_";
        if (out.size() + piece.size() > limit) break;
        out += piece;
        i += n;
    }
    return upper(out);
}

bool sibling_uses(const FileNode *dir, const std::string &candidate) {
    for (const auto &c : dir->children) {
        if (equal_nocase(c->name, candidate)) return true;
        if (!c->short_name.empty() && equal_nocase(c->short_name, candidate)) return true;
    }
    return false;
}

std::string make_alias(FileNode *node) {
    size_t dot = node->name.rfind('.');
    std::string base_text = dot == std::string::npos ? node->name : node->name.substr(0, dot);
    std::string ext = dot == std::string::npos ? "" : alias_part(node->name.substr(dot + 1), 3);
    std::string base = alias_part(base_text, 8);
    if (base.empty()) base = "_";
    for (int number = 1; number < 1000000; ++number) {
        std::string tail = "~" + std::to_string(number);
        std::string candidate = alias_part(base, 8 - tail.size()) + tail;
        if (!ext.empty()) candidate += "." + ext;
        if (!sibling_uses(node->parent, candidate)) return candidate;
    }
    return std::string();
}

std::string short_name_of(FileNode *node, const std::string &as_given) {
    if (is_legal_short_name(as_given)) return as_given;
    if (node->short_name.empty()) {
        if (is_legal_short_name(node->name)) return node->name;
        node->short_name = make_alias(node);
    }
    return node->short_name;
}

}  // namespace

DWORD GetShortPathNameA(LPCSTR long_path, LPSTR short_path, DWORD size) {
    record_call("GetShortPathNameA", long_path ? long_path : "(null)");
    if (!long_path) return SetLastError(ERROR_INVALID_PARAMETER), 0;
    std::string path = long_path;
    Machine &m = current_machine();
    FileNode *target = m.files.find(path);
    if (!target) {
        size_t slash = last_separator(path);
        FileNode *parent = slash == std::string::npos ? nullptr : m.files.find(path.substr(0, slash));
        SetLastError(parent && parent->is_dir ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return 0;
    }
    // Walks the given path part by part, so that each part keeps the spelling it was given
    // when it is already short.
    std::string result = path.substr(0, 2);
    FileNode *node = m.files.find(result + "\\");
    size_t at = 3;
    if (path.size() <= 3) result += "\\";
    while (at < path.size() && node) {
        size_t slash = find_separator(path, at);
        std::string part = path.substr(at, slash == std::string::npos ? std::string::npos : slash - at);
        node = node->child(part);
        if (!node) break;
        result += "\\" + short_name_of(node, part);
        if (slash == std::string::npos) break;
        at = slash + 1;
        if (at == path.size()) result += "\\";
    }
    if (result.size() + 1 > size) return (DWORD)result.size() + 1;
    memcpy(short_path, result.c_str(), result.size() + 1);
    return (DWORD)result.size();
}
