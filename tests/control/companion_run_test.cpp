// The pair on 64-bit Windows: the 32-bit program starts K440dTUn64.exe from its own folder,
// which removes the driver set a 64-bit installation left (drivers in the real System32,
// records in the 32-bit view of HKLM\Software) and keeps what WOW64 shows a 32-bit program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/os_class.h"
#include "sim/fixture_loader.h"
#include "sim/restart_model.h"
#include "support/sim_test.h"

namespace {

const char *const kProgram = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe";
const char *const kCompanion = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn64.exe";
const char *const kRecords32 = "Software\\Wow6432Node\\";

// Same-named files in the folder WOW64 shows a 32-bit program as System32.
const std::vector<std::string> decoys = {
    "C:\\WINDOWS\\SysWOW64\\drivers\\K440dTuc.sys", "C:\\WINDOWS\\SysWOW64\\drivers\\K440dTcm.sys",
    "C:\\WINDOWS\\SysWOW64\\K440dTwh.sys", "C:\\WINDOWS\\SysWOW64\\K440dTIN.dll"};

class CompanionRun : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(OS_LATER_NT);
        machine.x64 = true;
        load_fixture_installed_by_32bit_setup("nt-driver-set");
        for (const std::string &decoy : decoys) {
            machine.files.make_dir(decoy.substr(0, decoy.rfind('\\')));
            machine.files.write_file(decoy, "decoy");
        }
        machine.files.write_file(kCompanion, sim::X64_PROGRAM_IMAGE);
        machine.run_program = [this](sim::Process &child, const std::string &arguments) {
            EXPECT_TRUE(child.is_64bit) << "the companion runs as a 64-bit program";
            companion_arguments.push_back(arguments);
            return (DWORD)run_uninstaller(&profile, nullptr, arguments.c_str());
        };
    }

    std::vector<std::string> companion_arguments;
};

TEST_F(CompanionRun, TheCompanionRemovesTheDriverSetAndKeepsTheDecoys) {
    EXPECT_EQ(2, run("-quiet")) << "the companion's exit code is the result";
    ASSERT_EQ(1u, companion_arguments.size());
    EXPECT_EQ("-quiet", companion_arguments[0]) << "the companion gets the program's command line";
    auto started = machine.calls_to("CreateProcessA");
    ASSERT_EQ(1u, started.size());
    EXPECT_EQ(std::string(kCompanion) + " | \"" + kCompanion + "\" -quiet", started[0].detail);

    for (const char *gone : {"C:\\WINDOWS\\system32\\drivers\\K440dTuc.sys",
                             "C:\\WINDOWS\\system32\\drivers\\K440dTcm.sys",
                             "C:\\WINDOWS\\system32\\K440dTwh.sys", "C:\\WINDOWS\\system32\\K440dTIN.dll"})
        EXPECT_FALSE(machine.files.exists(gone)) << gone;
    for (const std::string &decoy : decoys) EXPECT_TRUE(machine.files.exists(decoy)) << decoy;
    for (const std::string &key :
         {std::string(kRecords32) + "Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset",
          std::string(kRecords32) + "TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}",
          std::string("System\\CurrentControlSet\\Services\\K440dTuc")})
        EXPECT_EQ(nullptr, machine.registry.find(key)) << key;
    EXPECT_NE(nullptr, machine.registry.find(std::string(kRecords32) +
                                             "TAVO\\{0B1C2D3E-0000-4000-8000-000000000001}"))
        << "another product's record stays";
    EXPECT_TRUE(machine.mutexes.empty());
}

TEST_F(CompanionRun, TheRestartTakesBothPrograms) {
    ASSERT_EQ(2, run("-quiet"));
    // Both are set aside under names of their own: the restart deletes those alone.
    const std::vector<std::string> aside = {"C:\\Program Files\\halvenor\\K440dT\\K440dT_del0.tmp",
                                            "C:\\Program Files\\halvenor\\K440dT\\K440dT_del1.tmp"};
    std::vector<std::string> handed;
    for (const sim::PendingRename &r : machine.pending_renames) handed.push_back(r.source);
    std::sort(handed.begin(), handed.end());
    EXPECT_EQ((std::vector<std::string>{"C:\\Program Files\\halvenor\\K440dT\\Drivers", aside[0], aside[1]}),
              handed);
    EXPECT_FALSE(machine.files.exists(kProgram));
    EXPECT_FALSE(machine.files.exists(kCompanion));
    sim::carry_out_restart(machine);
    for (const std::string &path : aside) EXPECT_FALSE(machine.files.exists(path)) << path;
}

TEST_F(CompanionRun, OneInstanceAcrossThePair) {
    sim::Process other;
    other.machine = &machine;
    int other_result = -1;
    // Another uninstaller starts while the companion shows its success box: it finds the
    // companion's mutex before it would start a companion of its own.
    machine.ui.answer_box = [&](const sim::MessageBoxRecord &) {
        if (other_result == -1) {
            sim::ProcessScope scope(other);
            other_result = run_uninstaller(&profile, nullptr, "-quiet");
            sim::exit_process(other);
        }
        return 1;
    };
    EXPECT_EQ(2, run("")) << "the pair does not trip over its own mutex";
    EXPECT_EQ(4, other_result);
    EXPECT_EQ(1u, companion_arguments.size());
}

TEST_F(CompanionRun, CompanionStartedByHandDoesTheSameRun) {
    process.is_64bit = true;
    process.module_path = kCompanion;
    EXPECT_EQ(2, run("-quiet"));
    EXPECT_TRUE(machine.calls_to("CreateProcessA").empty());
    EXPECT_FALSE(machine.files.exists("C:\\WINDOWS\\system32\\drivers\\K440dTuc.sys"));
    for (const std::string &decoy : decoys) EXPECT_TRUE(machine.files.exists(decoy)) << decoy;
}

TEST_F(CompanionRun, CompanionOnAMachineThatIsNotX64Refuses) {
    machine.x64 = false;
    process.is_64bit = true;
    process.module_path = kCompanion;
    const std::string registry_before = registry_snapshot();
    EXPECT_EQ(9, run("-quiet"));
    EXPECT_EQ(registry_before, registry_snapshot());
}

// Only an x86-64 program is started as the companion: anything else of that name would run the
// uninstall under WOW64 and its exit code would be taken as the result.
TEST_F(CompanionRun, AProgramThatIsNotX64IsNoCompanion) {
    for (const std::string &image : {sim::X86_PROGRAM_IMAGE, std::string("MZ PE32+ x86-64 GUI")}) {
        machine.files.write_file(kCompanion, image);
        const std::string registry_before = registry_snapshot();
        EXPECT_EQ(9, run("-quiet"));
        EXPECT_EQ(registry_before, registry_snapshot());
        EXPECT_TRUE(machine.calls_to("CreateProcessA").empty());
    }
}

TEST_F(CompanionRun, ACompanionThatCannotStartEndsWith9) {
    machine.faults.push_back(sim::Fault{"CreateProcessA", "", ERROR_ACCESS_DENIED});
    const std::string registry_before = registry_snapshot();
    EXPECT_EQ(9, run("-quiet"));
    EXPECT_EQ(registry_before, registry_snapshot());
    EXPECT_TRUE(machine.mutexes.empty());
}


// The deletions, their presence checks and the plan in the registry view of each program: the
// 32-bit program on 32-bit Windows, and the companion, whose records lie in the 32-bit view.
struct ViewCase {
    const char *name;
    bool companion;
    const char *switches;
    const char *refused_key;  // a record whose RegDeleteKeyA is refused; empty for none
    int result;
    bool records_stay;
    const char *log_line;
};

void PrintTo(const ViewCase &c, std::ostream *os) { *os << c.name; }

const char *const kUninstallRecord =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset";
const char *const kProductRecord = "Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}";

// CompanionRun's machine and records; the companion runs as the test's own process.
class RecordsInTheRunsView : public CompanionRun, public ::testing::WithParamInterface<ViewCase> {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(OS_LATER_NT);
        if (!GetParam().companion) {
            load_fixture("nt-driver-set");
            return;
        }
        machine.x64 = true;
        load_fixture_installed_by_32bit_setup("nt-driver-set");
        process.is_64bit = true;
        process.module_path = kCompanion;
    }
    std::string stored(const char *key) const {
        return (GetParam().companion ? std::string(kRecords32) + (key + strlen("Software\\")) : key);
    }
};

TEST_P(RecordsInTheRunsView, DeletesAndChecksTheRecordsWhereTheyAre) {
    const ViewCase &c = GetParam();
    if (c.refused_key[0])
        machine.faults.push_back(sim::Fault{"RegDeleteKeyA", c.refused_key, ERROR_ACCESS_DENIED});
    EXPECT_EQ(c.result, run((std::string(c.switches) + " -log_file:C:\\run.log").c_str()));
    for (const char *key : {kUninstallRecord, kProductRecord}) {
        bool refused = c.refused_key[0] && strstr(key, c.refused_key);
        EXPECT_EQ(c.records_stay || refused, machine.registry.find(stored(key)) != nullptr) << key;
    }
    const sim::FileNode *log = machine.files.find("C:\\run.log");
    ASSERT_NE(nullptr, log);
    EXPECT_NE(std::string::npos, log->content.find(c.log_line)) << log->content;
}

INSTANTIATE_TEST_SUITE_P(
    BothPrograms, RecordsInTheRunsView,
    ::testing::Values(
        ViewCase{"x86_removes", false, "-quiet", "", 2, false,
                 "delete key Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}: removed"},
        ViewCase{"x86_uninstall_record_refused", false, "-quiet", "Uninstall\\K440dT handset", 15,
                 false, "K440dT handset: failed (error 5), left in place"},
        ViewCase{"x86_plan", false, "-quiet -dry_run", "", 0, true,
                 "plan: delete key Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset"},
        ViewCase{"x64_removes", true, "-quiet", "", 2, false,
                 "delete key Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}: removed"},
        ViewCase{"x64_uninstall_record_refused", true, "-quiet", "Uninstall\\K440dT handset", 15,
                 false, "K440dT handset: failed (error 5), left in place"},
        ViewCase{"x64_product_record_refused", true, "-quiet", "{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}",
                 15, false, "{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}: failed (error 5), left in place"},
        ViewCase{"x64_plan", true, "-quiet -dry_run", "", 0, true,
                 "plan: delete key Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset"}),
    [](const ::testing::TestParamInfo<ViewCase> &info) { return std::string(info.param.name); });

}  // namespace
