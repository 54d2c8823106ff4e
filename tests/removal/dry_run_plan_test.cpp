// The plan of -dry_run against the run it announces: on the same machine, the keys, values and
// files the plan names are exactly what the quiet run then removes.
#include <cstring>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/os_class.h"
#include "control/entry_point.h"
#include "sim/snapshot_lines.h"
#include "support/sim_test.h"

namespace {

const char *const kInstall = "C:\\Program Files\\halvenor\\K440dT";
const char *const kProgram = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe";
const char *const kCompanion = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn64.exe";

struct PlanCase {
    const char *name;
    int os_class;
    const char *fixture;
    bool companion;  // the 64-bit companion's run, the records in the 32-bit view
};

void PrintTo(const PlanCase &c, std::ostream *os) { *os << c.name; }

// What the plan's "plan: delete ...", "plan: uninstall driver package ..." and "plan: hand ...
// to the restart" lines name, leaving out what they mark as not there.
struct planned_items {
    line_set keys, values, files, handed;
};

planned_items read_plan(const std::string &log) {
    planned_items plan;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find(" (not there)") != std::string::npos) continue;
        for (auto kind : {std::make_pair("plan: delete key ", &plan.keys),
                          std::make_pair("plan: delete value ", &plan.values),
                          std::make_pair("plan: delete file ", &plan.files),
                          std::make_pair("plan: uninstall driver package ", &plan.files)})
            if (line.compare(0, strlen(kind.first), kind.first) == 0)
                kind.second->insert(line.substr(strlen(kind.first)));
        const std::string hand = "plan: hand ", to_restart = " to the restart";
        if (line.compare(0, hand.size(), hand) == 0 && line.size() > hand.size() + to_restart.size())
            plan.handed.insert(line.substr(hand.size(), line.size() - hand.size() - to_restart.size()));
    }
    return plan;
}

line_set lower_paths(const std::vector<std::string> &paths) {
    line_set out;
    for (const std::string &p : paths) out.insert(lower(p));
    return out;
}

class DryRunPlan : public SimTest, public ::testing::WithParamInterface<PlanCase> {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        const PlanCase &c = GetParam();
        use_os(c.os_class);
        process.module_path = kProgram;
        if (!c.companion) {
            load_fixture(c.fixture);
        } else {
            // The 32-bit program starts the companion beside it, which does the run.
            machine.x64 = true;
            load_fixture_installed_by_32bit_setup(c.fixture);
            machine.files.write_file(kCompanion, sim::X64_PROGRAM_IMAGE);
            machine.run_program = [this](sim::Process &, const std::string &arguments) {
                return (DWORD)run_uninstaller(&profile, nullptr, arguments.c_str());
            };
        }
        // A name the ANSI code page cannot hold, which the sweep leaves: an ANSI listing would
        // name its best-fit look-alike "cafe.txt".
        if (c.os_class >= OS_FIRST_NT) {
            ASSERT_NE(nullptr,
                      machine.files.write_unicode_file(kInstall, u"caf\u00E9.txt", "", "x"));
        }
    }
    // Where the run's view keeps a key the plan names.
    std::string stored(const std::string &key) const {
        const std::string software = "software\\";
        if (!GetParam().companion || lower(key).compare(0, software.size(), software) != 0)
            return key;
        return "Software\\Wow6432Node\\" + key.substr(software.size());
    }
};

TEST_P(DryRunPlan, NamesExactlyWhatTheQuietRunRemoves) {
    ASSERT_EQ(0, run("-dry_run -quiet -log_file:C:\\plan.log"));
    const sim::FileNode *log = machine.files.find("C:\\plan.log");
    ASSERT_NE(nullptr, log);
    planned_items plan = read_plan(log->content);

    line_set registry_before = registry_lines(registry_snapshot());
    line_set files_before = lower_paths(machine.files.list_all());
    EXPECT_EQ(2, run("-quiet"));

    line_set planned_registry;
    for (const std::string &key : plan.keys) {
        line_set under = lines_under(registry_before, stored(key));
        planned_registry.insert(under.begin(), under.end());
    }
    for (const std::string &value : plan.values) {
        size_t slash = value.rfind('\\');
        line_set one = lines_under(registry_before, stored(value.substr(0, slash)) + "|  \"" +
                                                        value.substr(slash + 1) + "\"");
        planned_registry.insert(one.begin(), one.end());
    }
    line_set removed = minus(registry_before, registry_lines(registry_snapshot()));
    EXPECT_FALSE(removed.empty());
    EXPECT_EQ(joined(planned_registry), joined(removed)) << log->content;

    line_set planned_files;
    for (const std::string &file : plan.files) planned_files.insert(lower(file));
    // The NT family sets a file handed to the restart aside under a name of its own; a folder
    // keeps its name, and so does everything in the restart list of Windows 98/ME.
    for (const std::string &file : plan.handed)
        if (GetParam().os_class >= OS_FIRST_NT && files_before.count(lower(file)))
            planned_files.insert(lower(file));
    line_set gone = minus(files_before, lower_paths(machine.files.list_all()));
    EXPECT_FALSE(gone.empty());
    EXPECT_EQ(joined(planned_files), joined(gone)) << log->content;
}

INSTANTIATE_TEST_SUITE_P(
    ThreeFixtures, DryRunPlan,
    ::testing::Values(
        PlanCase{"nt_on_xp", OS_WINXP, "nt-driver-set", false},
        PlanCase{"companion_64bit", OS_LATER_NT, "nt-driver-set", true},
        PlanCase{"legacy_on_me", OS_WINME, "legacy-driver-set", false}),
    [](const ::testing::TestParamInfo<PlanCase> &info) { return std::string(info.param.name); });

}  // namespace
