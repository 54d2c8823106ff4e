// "Nothing else is touched": quiet runs on generated machines of both families. After the
// run every entry the generator recorded as the driver set's is gone and every other key,
// value and file is there byte for byte. K440_GENERATED_MACHINES sets the number of machines
// per family (the long run), K440_GENERATED_SEED the first seed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "base/os_class.h"
#include "base/profile.h"
#include "control/entry_point.h"
#include "control/main_flow.h"
#include "hardening/machine_generator.h"
#include "sim/fixture_loader.h"
#include "sim/snapshot_lines.h"

namespace {

int env_number(const char *name, int fallback) {
    const char *text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

typedef std::map<std::string, std::string> file_map;  // path -> attributes and content

file_map files_of(const sim::Machine &machine) {
    file_map out;
    for (const std::string &path : machine.files.list_all()) {
        bool dir = path.back() == '\\';
        const sim::FileNode *node = machine.files.find(dir ? path.substr(0, path.size() - 1) : path);
        if (!node) continue;
        out[lower(dir ? path.substr(0, path.size() - 1) : path)] =
            std::to_string(node->attributes) + (node->is_dir ? "/" : ":" + node->content);
    }
    return out;
}

// The layout every machine starts from, as the shared test fixture plants it.
void base_layout(sim::Machine &machine) {
    machine.files.make_dir("C:\\WINDOWS\\system32\\drivers");
    machine.files.make_dir("C:\\WINDOWS\\inf");
    machine.registry.create("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    machine.registry.create("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    machine.registry.create("System\\CurrentControlSet\\Services");
}

// Runs one generated machine; an empty result means the run removed exactly the driver set.
std::string check_machine(int os_class, uint32_t seed, int *totals) {
    sim::Machine machine;
    sim::Process process;
    process.machine = &machine;
    sim::ProcessScope scope(process);
    base_layout(machine);
    GeneratedMachine plan = generate_machine(machine, process, os_class, seed);
    totals[0] += plan.unrelated_keys;
    totals[1] += plan.unrelated_files;
    totals[2] += (int)plan.product_keys.size() + (int)plan.product_values.size();
    totals[3] += (int)plan.product_files.size();
    totals[4] += plan.devices;

    line_set registry_before = registry_lines(sim::export_registry(machine.registry));
    file_map files_before = files_of(machine);
    line_set expected_gone;
    std::string report;
    for (const std::string &key : plan.product_keys) {
        line_set under = lines_under(registry_before, key);
        expected_gone.insert(under.begin(), under.end());
    }
    for (const auto &value : plan.product_values) {
        line_set line = lines_under(registry_before, value.first + "|  \"" + value.second + "\"");
        if (line.size() != 1) report += "the generator did not plant " + value.second + "\n";
        expected_gone.insert(line.begin(), line.end());
    }

    product_profile profile = *builtin_profile();
    store_dialog_ids(&profile);
    int rc = run_uninstaller(&profile, nullptr, "-quiet");
    if (rc != 0 && rc != 2) report += "result " + std::to_string(rc) + "\n";
    if (process.open_handles != 0) report += "handles left open\n";

    line_set registry_after = registry_lines(sim::export_registry(machine.registry));
    line_set gone = minus(registry_before, registry_after);
    line_set kept_product = minus(expected_gone, gone);
    line_set touched = minus(gone, expected_gone);
    line_set added = minus(registry_after, registry_before);
    if (!touched.empty()) report += "unrelated registry lines gone:\n" + joined(touched);
    if (!kept_product.empty()) report += "driver-set registry lines left:\n" + joined(kept_product);
    if (!added.empty()) report += "registry lines added:\n" + joined(added);

    std::set<std::string> product_files, may_change;
    for (const std::string &f : plan.product_files) product_files.insert(lower(f));
    for (const std::string &f : plan.may_change_files) may_change.insert(lower(f));
    file_map files_after = files_of(machine);
    for (const auto &entry : files_before) {
        if (may_change.count(entry.first)) continue;
        auto after = files_after.find(entry.first);
        if (product_files.count(entry.first)) {
            if (after != files_after.end()) report += "driver-set file left: " + entry.first + "\n";
        } else if (after == files_after.end()) {
            report += "unrelated file gone: " + entry.first + "\n";
        } else if (after->second != entry.second) {
            report += "unrelated file changed: " + entry.first + "\n";
        }
    }
    for (const auto &entry : files_after)
        if (!files_before.count(entry.first) && !may_change.count(entry.first))
            report += "file added: " + entry.first + "\n";
    // The restart list of 98/ME may grow, but what other programs left in it stays.
    auto wininit_before = files_before.find("c:\\windows\\wininit.ini");
    auto wininit_after = files_after.find("c:\\windows\\wininit.ini");
    if (wininit_before != files_before.end() &&
        (wininit_after == files_after.end() ||
         wininit_after->second.find("NUL=C:\\TEMP\\OTHERAPP.TMP") == std::string::npos))
        report += "another program's entry of wininit.ini is gone\n";
    return report;
}

void run_family(const std::vector<int> &classes, const char *family) {
    int count = env_number("K440_GENERATED_MACHINES", 200);
    uint32_t first = (uint32_t)env_number("K440_GENERATED_SEED", 1);
    int totals[5] = {0, 0, 0, 0, 0};
    int failed = 0;
    for (int i = 0; i < count; ++i) {
        uint32_t seed = first + (uint32_t)i;
        int os_class = classes[i % classes.size()];
        std::string report = check_machine(os_class, seed, totals);
        if (report.empty()) continue;
        if (++failed <= 3)
            ADD_FAILURE() << family << " machine of seed " << seed << " (OS class " << os_class
                          << ") was not left as expected:\n" << report;
    }
    EXPECT_EQ(0, failed) << failed << " of " << count << " " << family << " machines failed";
    std::printf("%s: %d machines, %d unrelated keys, %d unrelated files, %d driver-set keys and values, "
                "%d driver-set files, %d devices\n",
                family, count, totals[0], totals[1], totals[2], totals[3], totals[4]);
}

TEST(GeneratedMachines, NtQuietRunRemovesOnlyTheDriverSet) {
    run_family({OS_WIN2000, OS_WINXP, OS_WIN2003}, "NT");
}

TEST(GeneratedMachines, LegacyQuietRunRemovesOnlyTheDriverSet) {
    run_family({OS_WIN98, OS_WIN98_SE, OS_WINME}, "Windows 98/ME");
}

}  // namespace
