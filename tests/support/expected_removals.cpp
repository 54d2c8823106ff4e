#include "support/expected_removals.h"

#include <fstream>

#include "support/sim_test.h"

namespace {

std::vector<std::string> tab_fields(const std::string &line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

bool take_entry(const std::vector<std::string> &f, expected_removals *out) {
    const std::string &kind = f[0];
    if (f.size() == 3 && kind == "value") {
        out->values.emplace_back(f[1], f[2]);
        return true;
    }
    if (f.size() != 2) return false;
    std::vector<std::string> *list = kind == "key"               ? &out->keys
                                     : kind == "key_on_me"       ? &out->keys_on_me
                                     : kind == "file"            ? &out->files
                                     : kind == "file_at_restart" ? &out->files_at_restart
                                                                 : nullptr;
    if (!list) return false;
    list->push_back(f[1]);
    return true;
}

}  // namespace

bool read_expected_removals(const std::string &fixture, expected_removals *out,
                            std::string *error) {
    std::string path = fixture_path(fixture + "/expected.txt");
    std::ifstream in(path.c_str());
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (!take_entry(tab_fields(line), out)) {
            *error = path + ":" + std::to_string(number) + ": not an entry: " + line;
            return false;
        }
    }
    return true;
}
