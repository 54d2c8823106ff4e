#include "restart_model.h"

#include <sstream>

#include "mbcs.h"
#include "profile_file.h"

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
    if (!node || node->is_dir) {
        report->failed.push_back(source + " -> " + target);
        return;
    }
    std::string content = node->content;
    DWORD attributes = node->attributes;
    FileNode *existing = m.files.find(target);
    if (existing && existing->is_dir) {
        report->failed.push_back(source + " -> " + target);
        return;
    }
    // The move replaces a file of the target's name: that is how in-use files get replaced.
    if (!m.files.write_file(target, content, attributes)) {
        report->failed.push_back(source + " -> " + target);
        return;
    }
    m.files.remove(source);
    report->renamed.push_back(source + " -> " + target);
}

// A NUL line deletes its source as a file: a folder or a read-only file stays.
void delete_file_entry(Machine &m, const std::string &path, RestartReport *report) {
    FileNode *node = m.files.find(path);
    if (!node || node->is_dir || (node->attributes & 0x1)) {
        report->failed.push_back(path);
        return;
    }
    m.files.remove(path);
    report->deleted.push_back(path);
}

// The [rename] section, read as the profile functions read it (names without regard to
// case and blanks, comments and lines without "=" passed over), carried out line by line in
// file order; the file is then kept as wininit.bak, replacing an older one.
void carry_out_wininit(Machine &m, RestartReport *report) {
    std::string path = m.windows_dir + "\\wininit.ini";
    FileNode *file = m.files.find(path);
    if (!file || file->is_dir) return;
    std::string content = file->content;
    std::vector<ProfileEntry> entries;
    ProfileFile::parse(content).section_entries("rename", &entries);
    // Without a line to carry out the file is left as it is (as Wine's start does).
    if (entries.empty()) return;
    for (const ProfileEntry &e : entries) {
        if (!e.has_value) continue;
        if (equal_nocase(e.key, "NUL"))
            delete_file_entry(m, e.value, report);
        else
            rename_entry(m, e.value, e.key, report);
    }
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

// The service manager starts without the services marked for deletion: their keys go.
void carry_out_service_deletions(Machine &m, RestartReport *report) {
    for (const std::string &name : m.services_marked_for_delete) {
        std::string key = "SYSTEM\\CurrentControlSet\\Services\\" + name;
        if (m.registry.remove_tree(key)) report->deleted_keys.push_back(key);
        m.running_services.erase(name);
    }
    m.services_marked_for_delete.clear();
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
    carry_out_service_deletions(machine, &report);
    carry_out_run_once(machine, &report);
    ++machine.restarts;
    return report;
}

}  // namespace sim
