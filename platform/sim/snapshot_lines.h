// Whole machine snapshots as sets of lines, so that a run's changes can be stated as "these
// lines went, these came" and every other line must be the same before and after.
#ifndef K440_SIM_SNAPSHOT_LINES_H
#define K440_SIM_SNAPSHOT_LINES_H

#include <algorithm>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

typedef std::set<std::string> line_set;

// Registry export: a key line "[path]" stays as the key's path, a value line becomes
// "path|value line", so that each line names its key.
inline line_set registry_lines(const std::string &snapshot) {
    line_set out;
    std::istringstream in(snapshot);
    std::string line, key;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            key = line.substr(1, line.size() - 2);
            out.insert(key);
        } else if (!line.empty()) {
            out.insert(key + "|" + line);
        }
    }
    return out;
}

inline line_set file_lines(const std::string &snapshot) {
    line_set out;
    std::istringstream in(snapshot);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) out.insert(line);
    return out;
}

inline line_set minus(const line_set &a, const line_set &b) {
    line_set out;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::inserter(out, out.end()));
    return out;
}

inline std::string lower(std::string text) {
    for (char &c : text) c = (char)tolower((unsigned char)c);
    return text;
}

// The lines that name `path` itself or anything below it (case ignored).
inline line_set lines_under(const line_set &lines, const std::string &path) {
    line_set out;
    std::string p = lower(path);
    for (const std::string &l : lines) {
        std::string k = lower(l);
        if (k.compare(0, p.size(), p) == 0 &&
            (k.size() == p.size() || k[p.size()] == '\\' || k[p.size()] == '|' || k[p.size()] == ' ' ||
             k[p.size()] == '\t'))
            out.insert(l);
    }
    return out;
}

inline std::string joined(const line_set &lines) {
    std::string out;
    for (const std::string &l : lines) out += "  " + l + "\n";
    return out;
}

#endif
