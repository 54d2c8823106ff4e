#include "restart_model.h"

#include <sstream>

#include "mbcs.h"

namespace sim {

namespace {

const char *const run_once_key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

void delete_entry(Machine &m, const std::string &path, RestartReport *report) {
    FileNode *node = m.files.find(path);
    if (!node || (node->is_dir && !node->children.empty())) {
        report->failed.push_back(path);
        return;
    }
    m.files.remove(path);
    report->deleted.push_back(path);
}

void rename_entry(Machine &m, const std::string &source, const std::string &target,
                  RestartReport *report) {
    FileNode *node = m.files.find(source);
    if (!node || node->is_dir || m.files.find(target)) {
        report->failed.push_back(source + " -> " + target);
        return;
    }
    std::string content = node->content;
    DWORD attributes = node->attributes;
    if (!m.files.write_file(target, content, attributes)) {
        report->failed.push_back(source + " -> " + target);
        return;
    }
    m.files.remove(source);
    report->renamed.push_back(source + " -> " + target);
}

void carry_out_wininit(Machine &m, RestartReport *report) {
    std::string path = m.windows_dir + "\\wininit.ini";
    FileNode *file = m.files.find(path);
    if (!file || file->is_dir) return;
    std::istringstream in(file->content);
    std::string line;
    bool in_rename = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            in_rename = equal_nocase(line, "[rename]");
            continue;
        }
        size_t eq = line.find('=');
        if (!in_rename || eq == std::string::npos) continue;
        std::string target = line.substr(0, eq), source = line.substr(eq + 1);
        if (equal_nocase(target, "NUL"))
            delete_entry(m, source, report);
        else
            rename_entry(m, source, target, report);
    }
    std::string content = m.files.find(path)->content;
    m.files.remove(m.windows_dir + "\\wininit.bak");
    m.files.remove(path);
    m.files.write_file(m.windows_dir + "\\wininit.bak", content);
}

void carry_out_run_once(Machine &m, RestartReport *report) {
    RegKey *key = m.registry.find(run_once_key);
    if (!key) return;
    std::vector<RegValue> values = key->values;
    key->values.clear();
    for (const RegValue &v : values) {
        std::string command(v.data.begin(), v.data.end());
        while (!command.empty() && command.back() == '\0') command.pop_back();
        report->run_once.push_back(command);
    }
}

}  // namespace

RestartReport carry_out_restart(Machine &machine) {
    RestartReport report;
    std::vector<PendingRename> pending;
    pending.swap(machine.pending_renames);
    for (const PendingRename &r : pending) {
        if (r.target.empty())
            delete_entry(machine, r.source, &report);
        else
            rename_entry(machine, r.source, r.target, &report);
    }
    if (!machine.is_nt()) carry_out_wininit(machine, &report);
    carry_out_run_once(machine, &report);
    ++machine.restarts;
    return report;
}

}  // namespace sim
