// File-system and registry redirection for 32-bit processes on a 64-bit machine, as
// Microsoft documents them ("File System Redirector", "Registry Redirector").
#include "wow64_view.h"

#include "machine.h"
#include "mbcs.h"
#include "registry_api.h"

namespace sim {

namespace {

// The first component of `path` and the rest after its backslash.
void split_first(const std::string &path, std::string *first, std::string *rest) {
    size_t slash = path.find('\\');
    *first = path.substr(0, slash);
    *rest = slash == std::string::npos ? std::string() : path.substr(slash + 1);
}

// True when `path` is `folder` or lies below it; `*rest` is what follows the folder.
bool below(const std::string &path, const std::string &folder, std::string *rest) {
    if (path.size() < folder.size() || !equal_nocase(path.substr(0, folder.size()), folder))
        return false;
    if (path.size() == folder.size()) {
        rest->clear();
        return true;
    }
    if (path[folder.size()] != '\\') return false;
    *rest = path.substr(folder.size() + 1);
    return true;
}

bool exempt_from_redirection(const std::string &rest) {
    static const char *const exempt[] = {"catroot", "catroot2", "drivers\\etc", "DriverStore",
                                         "LogFiles", "spool"};
    std::string ignored;
    for (const char *folder : exempt)
        if (below(rest, folder, &ignored)) return true;
    return false;
}

}  // namespace

bool current_process_under_wow64() {
    return current_machine().x64 && !current_process().is_64bit;
}

std::string file_view(const std::string &path) {
    if (!current_process_under_wow64()) return path;
    const std::string &windows = current_machine().windows_dir;
    std::string rest;
    if (below(path, windows + "\\Sysnative", &rest))
        return windows + "\\System32" + (rest.empty() ? "" : "\\" + rest);
    if (!below(path, windows + "\\System32", &rest) || exempt_from_redirection(rest)) return path;
    return windows + "\\SysWOW64" + (rest.empty() ? "" : "\\" + rest);
}

std::string registry_view(const std::string &path, REGSAM desired) {
    if (!current_machine().x64) return path;
    bool view32 = (desired & KEY_WOW64_32KEY) ||
                  (current_process_under_wow64() && !(desired & KEY_WOW64_64KEY));
    if (!view32) return path;
    std::string first, rest, second, below_second;
    split_first(path, &first, &rest);
    if (!equal_nocase(first, "Software")) return path;
    split_first(rest, &second, &below_second);
    if (equal_nocase(second, "Wow6432Node")) return path;  // named directly: the same key
    return first + "\\Wow6432Node" + (rest.empty() ? "" : "\\" + rest);
}

}  // namespace sim
