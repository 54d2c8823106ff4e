// The install folder comes from the product record, which anything may have written, and the
// sweep deletes every file it lists. install_folder_is_sweepable on arbitrary bytes, against a
// resolver of its own that reads the text as Win32 does (separators, device prefixes, "." and
// "..", trimmed dots and blanks, code page 932): a folder it lets through must resolve to a
// folder below a drive root or share that is neither the Windows folder nor inside it.
//
// Input: the first byte picks the Windows folder, the rest is the install folder's text.
#include <string>
#include <vector>

#include "fuzz_machine.h"
#include "removal/install_folder.h"

namespace {

bool is_lead_byte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The characters of a code page 932 text, each as its one or two bytes.
std::vector<std::string> characters(const std::string &text) {
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();) {
        size_t n = is_lead_byte((unsigned char)text[i]) && i + 1 < text.size() ? 2 : 1;
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

// Single-byte letters folded to upper case; double-byte characters as they are.
std::string folded(const std::string &text) {
    std::string out;
    for (const std::string &c : characters(text)) {
        if (c.size() == 1 && c[0] >= 'a' && c[0] <= 'z') out += (char)(c[0] - 32);
        else out += c;
    }
    return out;
}

struct Resolved {
    bool absolute = false;           // from a drive root or a share
    std::string root;                // "C:" or "\\SERVER\SHARE", folded
    std::vector<std::string> parts;  // below the root, folded
};

Resolved resolve(const std::string &text) {
    std::vector<std::string> parts(1);
    for (const std::string &c : characters(text)) {
        if (c == "\\" || c == "/") parts.emplace_back();
        else parts.back() += c;
    }
    Resolved r;
    size_t first = 0;
    if (parts.size() >= 4 && parts[0].empty() && parts[1].empty() && (parts[2] == "?" || parts[2] == "."))
        first = 3;  // a device path: what follows is read the same way here
    if (parts.size() > first + 1 && parts[first].size() == 2 && parts[first][1] == ':' &&
        ((parts[first][0] | 0x20) >= 'a' && (parts[first][0] | 0x20) <= 'z')) {
        r.absolute = true;
        r.root = folded(parts[first]);
        first += 1;
    } else if (first == 0 && parts.size() >= 4 && parts[0].empty() && parts[1].empty() &&
               !parts[2].empty() && !parts[3].empty()) {
        r.absolute = true;
        r.root = "\\\\" + folded(parts[2]) + "\\" + folded(parts[3]);
        first = 4;
    } else {
        return r;
    }
    for (size_t i = first; i < parts.size(); ++i) {
        std::string part = parts[i];
        if (part != "." && part != "..")
            while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!r.parts.empty()) r.parts.pop_back();
            continue;
        }
        r.parts.push_back(folded(part));
    }
    return r;
}

bool same_or_inside(const Resolved &folder, const Resolved &windows) {
    if (folder.root != windows.root || folder.parts.size() < windows.parts.size()) return false;
    for (size_t i = 0; i < windows.parts.size(); ++i)
        if (folder.parts[i] != windows.parts[i]) return false;
    return true;
}

const char *const windows_folders[] = {"C:\\WINDOWS", "C:\\WINNT", "c:\\windows\\", "D:\\Win98"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    fresh_fuzz_machine();
    const char *windows = windows_folders[data[0] % 4];
    std::string folder = input_text(data + 1, size - 1);
    int sweepable = install_folder_is_sweepable(folder.c_str(), windows);
    if (sweepable != 0 && sweepable != 1) __builtin_trap();
    if (!sweepable) return 0;
    Resolved r = resolve(folder);
    if (!r.absolute) __builtin_trap();        // relative: depends on the current folder
    if (r.parts.empty()) __builtin_trap();    // a drive root or a bare share
    if (same_or_inside(r, resolve(windows))) __builtin_trap();
    return 0;
}
