// Whole runs that tell what they did: the log of "-log_file:", the plan of "-dry_run", and
// the failure box with 15 over a partial removal.
#include <ostream>
#include <string>
#include <vector>

#include "base/os_class.h"
#include "base/result_codes.h"
#include "support/device_machine.h"
#include "support/sim_test.h"

namespace {

const char kLog[] = "C:\\my logs\\k440-run.log";
const char kTempLog[] = "C:\\WINDOWS\\Temp\\K440dTUn.log";
const DWORD kInWow64 = 0xE0000235;

class RunLogFlow : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        load_fixture("nt-driver-set");
        machine.files.make_dir("C:\\my logs");
        machine.files.make_dir("C:\\WINDOWS\\Temp");
    }
    std::string text_of(const char *path) const {
        const sim::FileNode *node = machine.files.find(path);
        return node ? node->content : "";
    }
    bool holds(const char *path, const std::string &line) const {
        return text_of(path).find(line) != std::string::npos;
    }
    // A device of the product that refuses DIF_REMOVE, as every one does on 64-bit Windows.
    void refuse_device_removal() {
        plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\7",
                                 {"USB\\VID_FFFF&PID_0001&REV_0100"}, MODEM_CLASS, "0007",
                                 DriverKeyPlan{"oem12.inf", "Halvenor", false});
        machine.faults.push_back(sim::Fault{"SetupDiCallClassInstaller", "DIF_REMOVE", kInWow64});
    }
    std::string failure(int code) const {
        return std::string(profile.failure_text.japanese) + " (" + std::to_string(code) + ")";
    }
};

TEST_F(RunLogFlow, QuotedLogPathWithBlanksAndAHyphenGetsHeaderFindingsActionsAndResult) {
    EXPECT_EQ(2, run("-log_file:\"C:\\my logs\\k440-run.log\" -quiet"));
    std::string log = text_of(kLog);
    EXPECT_EQ(0u, log.find("2026-12-08 23:05:09 " + process.module_path +
                           "; command line: -log_file:\"C:\\my logs\\k440-run.log\" -quiet"))
        << log;
    EXPECT_TRUE(holds(kLog, "OS class 8 (Windows XP)\r\n"));
    EXPECT_TRUE(holds(kLog, "found key System\\CurrentControlSet\\Services\\K440dTmdm (a service "
                            "whose ImagePath names a driver file of the product)\r\n"));
    EXPECT_TRUE(holds(kLog, "uninstall driver package C:\\WINDOWS\\inf\\oem12.inf: ")) << log;
    EXPECT_TRUE(holds(kLog, "delete file C:\\WINDOWS\\System32\\Drivers\\K440dTuc.sys: removed\r\n"));
    EXPECT_TRUE(holds(kLog, "removal: complete\r\nrestart needed\r\nresult 2\r\n")) << log;
    for (size_t at = log.find('\n'); at != std::string::npos; at = log.find('\n', at + 1))
        EXPECT_EQ('\r', log[at - 1]) << "every line ends with CR LF";
}

TEST_F(RunLogFlow, EachRunAppendsItsOwnHeader) {
    run("-quiet -log_file:C:\\my-logs.log");
    run("-quiet -log_file:C:\\my-logs.log");
    std::string log = text_of("C:\\my-logs.log");
    size_t first = log.find("; command line: ");
    ASSERT_NE(std::string::npos, first);
    EXPECT_NE(std::string::npos, log.find("; command line: ", first + 1));
    EXPECT_NE(std::string::npos, log.find("result 2\r\n")) << log;
}

TEST_F(RunLogFlow, LogThatCannotBeOpenedStopsNothing) {
    EXPECT_EQ(2, run("-quiet -log_file:C:\\no-such-folder\\run.log"));
    EXPECT_FALSE(machine.files.exists("C:\\no-such-folder\\run.log"));
}

TEST_F(RunLogFlow, RecordSwitchesMayAskForTheLog) {
    machine.registry.set_string("Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}",
                                "UninstallerCmdLineSwitch", "-log_file:C:\\record.log");
    EXPECT_EQ(2, run("-quiet"));
    EXPECT_TRUE(holds("C:\\record.log", "record switches: -log_file:C:\\record.log"));
    EXPECT_TRUE(holds("C:\\record.log", "result 2\r\n"));
}

// The record's switches may not turn the uninstall into a dry run, nor point the log at a device.
TEST_F(RunLogFlow, RecordSwitchesNeitherDryRunNorLogToADevice) {
    machine.registry.set_string("Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}",
                                "UninstallerCmdLineSwitch", "-dry_run -log_file:\\\\.\\PhysicalDrive0");
    EXPECT_EQ(2, run("-quiet -log_file:C:\\run.log")) << "the driver set is removed";
    EXPECT_FALSE(machine.files.exists("C:\\WINDOWS\\inf\\oem12.inf"));
    EXPECT_TRUE(holds("C:\\run.log", "ignored -dry_run in the product record"));
    EXPECT_FALSE(machine.files.exists("\\\\.\\PhysicalDrive0"));
}

TEST_F(RunLogFlow, DryRunChangesNothingAndWritesThePlanToTheTempFolder) {
    std::string registry_before = registry_snapshot();
    EXPECT_EQ(0, run("-dry_run"));
    EXPECT_EQ(registry_before, registry_snapshot()) << "nothing removed";
    EXPECT_TRUE(machine.files.exists("C:\\WINDOWS\\inf\\oem12.inf"));
    EXPECT_TRUE(holds(kTempLog, "plan: uninstall driver package C:\\WINDOWS\\inf\\oem12.inf\r\n"));
    EXPECT_TRUE(holds(kTempLog, "plan: delete key System\\CurrentControlSet\\Services\\K440dTmdm\r\n"));
    EXPECT_TRUE(holds(kTempLog, "result 0\r\n"));
    EXPECT_TRUE(machine.ui.dialogs.empty()) << "no dialog";
    EXPECT_TRUE(machine.calls_to("SetupPromptReboot").empty()) << "no restart";
    ASSERT_EQ(1u, machine.ui.boxes.size());
    EXPECT_NE(std::string::npos, machine.ui.boxes[0].text.find(kTempLog)) << "says where the plan is";
}

TEST_F(RunLogFlow, QuietDryRunShowsNothingAndUsesTheGivenLog) {
    EXPECT_EQ(0, run("-dry_run -quiet -log_file:C:\\plan.log"));
    EXPECT_TRUE(machine.ui.boxes.empty());
    EXPECT_TRUE(holds("C:\\plan.log", "plan: uninstall driver package C:\\WINDOWS\\inf\\oem12.inf\r\n"));
    EXPECT_FALSE(machine.files.exists(kTempLog));
}

struct PartialCase {
    const char *switches;
    bool failure_box;
};

void PrintTo(const PartialCase &c, std::ostream *os) { *os << '"' << c.switches << '"'; }

class PartialRemovalFlow : public RunLogFlow, public ::testing::WithParamInterface<PartialCase> {};

TEST_P(PartialRemovalFlow, EndsWith15AndTheFailureBoxWhateverTheRestart) {
    refuse_device_removal();
    EXPECT_EQ(RESULT_PARTIAL_REMOVAL,
              run((std::string(GetParam().switches) + " -log_file:C:\\partial.log").c_str()));
    bool failure_box = false;
    for (const sim::MessageBoxRecord &box : machine.ui.boxes) {
        EXPECT_NE(profile.success_text.japanese, box.text) << "no success box over a partial removal";
        if (box.text == failure(15)) failure_box = true;
    }
    EXPECT_EQ(GetParam().failure_box, failure_box);
    EXPECT_TRUE(holds("C:\\partial.log", "left in place: device USB\\VID_FFFF&PID_0001\\"));
    EXPECT_TRUE(holds("C:\\partial.log", "result 15\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Switches, PartialRemovalFlow,
                         ::testing::Values(PartialCase{"", true}, PartialCase{"-quiet", false},
                                           PartialCase{"-quiet -show_error", true},
                                           PartialCase{"-quiet -show_error -msi_mode", true},
                                           PartialCase{"-msi_mode", true}),
                         [](const ::testing::TestParamInfo<PartialCase> &info) {
                             std::string name;
                             for (const char *c = info.param.switches; *c; ++c)
                                 if (*c == ' ') name += '_';
                                 else if (*c != '-') name += *c;
                             return name.empty() ? std::string("no_switches") : name;
                         });

}  // namespace
