// The demo on the simulated machine, for a machine that cannot run 32-bit Wine: the same
// product code as dist/K440dTUn.exe, compiled for this host, uninstalls the driver set planted
// from the fixture folders on a simulated Windows XP (or ME) machine, then the machine is
// restarted, and each step's removals are listed as the Wine demo lists them.
//
//     sim_demo winxp|winme <fixture folder>...
#include <stdio.h>
#include <string.h>

#include <map>
#include <string>
#include <vector>

#include "base/os_class.h"
#include "base/profile.h"
#include "control/entry_point.h"
#include "control/main_flow.h"
#include "sim/device_tree.h"
#include "sim/fixture_loader.h"
#include "sim/machine.h"
#include "sim/restart_model.h"
#include "sim/snapshot_lines.h"

namespace {

const char *const kProgram = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe";

struct Snapshot {
    line_set registry;
    line_set files;
};

Snapshot take_snapshot(const sim::Machine &machine) {
    return {registry_lines(sim::export_registry(machine.registry)),
            file_lines(sim::export_files(machine.files))};
}

// A key line is "path", a value line "path|  "name" type data"; a file line
// "path attributes [digest]" (the path may hold spaces, the other fields do not).
std::string label_of_registry_line(const std::string &line) {
    size_t bar = line.find('|');
    if (bar == std::string::npos) return "key   HKLM\\" + line;
    std::string value = line.substr(bar + 1);
    size_t open = value.find('"');
    size_t close = open;
    while (close != std::string::npos) {  // the name's closing quote, past escaped ones
        close = value.find('"', close + 1);
        if (close == std::string::npos || value[close - 1] != '\\') break;
    }
    std::string name = close == std::string::npos ? value : value.substr(open, close - open + 1);
    return "value HKLM\\" + line.substr(0, bar) + "  " + (name == "\"\"" ? "@" : name);
}

std::string label_of_file_line(const std::string &line) {
    size_t last = line.rfind(' ');
    if (last == std::string::npos || last == 0) return "file  " + line;
    if (line[last - 1] == '\\') return "file  " + line.substr(0, last);  // a folder
    size_t attributes = line.rfind(' ', last - 1);
    return "file  " + line.substr(0, attributes == std::string::npos ? last : attributes);
}

// Every key, value and file of a snapshot by its label, with its whole line.
typedef std::map<std::string, std::string> labelled_lines;

labelled_lines by_label(const Snapshot &snapshot) {
    labelled_lines out;
    for (const std::string &l : snapshot.registry) out[label_of_registry_line(l)] = l;
    for (const std::string &l : snapshot.files) out[label_of_file_line(l)] = l;
    return out;
}

void section(const char *title, const std::vector<std::string> &lines) {
    printf("\n%s (%zu)\n", title, lines.size());
    if (lines.empty()) printf("  (none)\n");
    for (const std::string &l : lines) printf("  %s\n", l.c_str());
}

// The labels of `from` that `to` does not hold.
std::vector<std::string> gone(const labelled_lines &from, const labelled_lines &to) {
    std::vector<std::string> out;
    for (const auto &entry : from)
        if (!to.count(entry.first)) out.push_back(entry.first);
    return out;
}

// The labels both hold with another line (data, attributes or content changed).
std::vector<std::string> changed(const labelled_lines &from, const labelled_lines &to) {
    std::vector<std::string> out;
    for (const auto &entry : from) {
        auto other = to.find(entry.first);
        if (other != to.end() && other->second != entry.second) out.push_back(entry.first);
    }
    return out;
}

std::vector<std::string> kept(const labelled_lines &planted, const labelled_lines &now) {
    std::vector<std::string> out;
    for (const auto &entry : planted)
        if (now.count(entry.first)) out.push_back(entry.first);
    return out;
}

const char *meaning_of(int code) {
    switch (code) {
    case 0: return "success, or nothing to do";
    case 2: return "the run succeeded and a restart is needed";
    case 11: return "-before_rebooting could not arrange the run after the restart";
    case 12: return "no installed driver of the product was found";
    default: return "see README.md";
    }
}

int usage() {
    fprintf(stderr, "usage: sim_demo winxp|winme <fixture folder>...\n");
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 3) return usage();
    int os_class;
    if (strcmp(argv[1], "winxp") == 0) os_class = OS_WINXP;
    else if (strcmp(argv[1], "winme") == 0) os_class = OS_WINME;
    else return usage();

    sim::Machine machine;
    sim::Process process;
    process.machine = &machine;
    process.module_path = kProgram;
    sim::ProcessScope scope(process);
    machine.set_os_class(os_class);
    machine.windows_dir = "C:\\WINDOWS";
    machine.files.make_dir(os_class >= OS_FIRST_NT ? "C:\\WINDOWS\\system32\\drivers"
                                                   : "C:\\WINDOWS\\SYSTEM");
    machine.files.make_dir("C:\\WINDOWS\\inf");
    machine.registry.create("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    machine.registry.create("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    if (os_class >= OS_FIRST_NT) machine.registry.create("System\\CurrentControlSet\\Services");

    labelled_lines bare = by_label(take_snapshot(machine));
    printf("A simulated %s machine\n",
           os_class >= OS_FIRST_NT ? "Windows XP" : "Windows ME");
    for (int i = 2; i < argc; ++i) {
        std::string error;
        if (!sim::load_machine(machine, argv[i], &error)) {
            fprintf(stderr, "sim_demo: %s: %s\n", argv[i], error.c_str());
            return 1;
        }
        printf("Planted %s\n", argv[i]);
    }
    printf("Device instances found in the planted Enum keys: %d\n",
           sim::load_devices_from_enum(machine));
    // The running program's own file is open, as on Windows: it can only go at the restart.
    sim::FileNode *program = machine.files.find(kProgram);
    if (!program) program = machine.files.write_file(kProgram, "program");
    program->in_use = true;

    labelled_lines before = by_label(take_snapshot(machine));
    labelled_lines planted;
    for (const auto &entry : before)
        if (!bare.count(entry.first)) planted.insert(entry);
    printf("\nRunning %s -quiet ...\n", kProgram);
    product_profile *profile = builtin_profile();
    store_dialog_ids(profile);
    int code = run_uninstaller(profile, nullptr, "-quiet");
    printf("exit code: %d (%s)\n", code, meaning_of(code));
    for (const sim::MessageBoxRecord &box : machine.ui.boxes)
        printf("  a box was shown: %s\n", box.text.c_str());
    program->in_use = false;  // the program has ended

    labelled_lines after = by_label(take_snapshot(machine));
    section("Removed by the program", gone(before, after));
    std::vector<std::string> added = gone(after, before);
    if (!added.empty()) section("Added by the program", added);
    std::vector<std::string> altered = changed(before, after);
    if (!altered.empty()) section("Changed by the program", altered);

    printf("\nRestarting ...\n");
    sim::RestartReport report = sim::carry_out_restart(machine);
    for (const std::string &f : report.failed) printf("  the restart could not carry out: %s\n", f.c_str());
    for (const std::string &c : report.run_once) printf("  the restart ran: %s\n", c.c_str());
    labelled_lines restarted = by_label(take_snapshot(machine));
    section("Removed by the restart", gone(after, restarted));
    section("Still there of what was planted", kept(planted, restarted));
    return 0;
}
