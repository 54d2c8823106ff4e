// Whole runs with "-before_rebooting": the resume arrangement instead of the removal.
#include <gtest/gtest.h>

#include <string>

#include "support/sim_test.h"

namespace {
const char *const run_once = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
}

class ResumeRunTest : public SimTest {
  protected:
    sim::RegValue *run_once_value() {
        sim::RegKey *key = machine.registry.find(run_once);
        return key ? key->value("K440dTUn.exe") : nullptr;
    }
    bool removal_ran() const {
        return !machine.calls_to("DeleteFileA").empty() ||
               !machine.calls_to("RegDeleteKeyA").empty() ||
               !machine.ui.dialogs.empty();
    }
};

TEST_F(ResumeRunTest, BeforeRebootingRegistersTheResumeAndOffersTheRestartOnly) {
    std::string files_before = files_snapshot();
    int result = run("-before_rebooting");
    EXPECT_EQ(0, result);
    ASSERT_NE(nullptr, run_once_value()) << "the RunOnce value is written";
    std::string data(run_once_value()->data.begin(), run_once_value()->data.end());
    EXPECT_EQ("\"" + process.module_path + "\" -ignore_before_reboot_cmd" + std::string(1, '\0'),
              data);
    EXPECT_EQ(1u, machine.calls_to("SetupPromptReboot").size()) << "the restart is offered";
    EXPECT_TRUE(machine.ui.boxes.empty()) << "no message box";
    EXPECT_FALSE(removal_ran()) << "nothing is removed before the restart";
    EXPECT_EQ(files_before, files_snapshot());
    EXPECT_TRUE(machine.mutexes.empty()) << "the mutex is closed";
}

TEST_F(ResumeRunTest, IgnoreBeforeRebootCmdMakesItANormalRun) {
    int result = run("-before_rebooting -ignore_before_reboot_cmd");
    EXPECT_TRUE(result == 0 || result == 2) << "a removal, result " << result;
    EXPECT_EQ(nullptr, run_once_value());
    EXPECT_EQ(1u, machine.ui.dialogs.size()) << "the dialog asks as usual";
    ASSERT_EQ(1u, machine.ui.boxes.size());
    EXPECT_EQ(profile.success_text.japanese, machine.ui.boxes[0].text);
}

TEST_F(ResumeRunTest, TheRunAfterTheRestartRemovesEvenWhenBeforeRebootingReachesItAgain) {
    // The profile's extra switches carry -before_rebooting; the RunOnce command's switch wins.
    profile.extra_switches = "-before_rebooting -quiet";
    int result = run("-ignore_before_reboot_cmd");
    EXPECT_TRUE(result == 0 || result == 2) << "a removal, result " << result;
    EXPECT_EQ(nullptr, run_once_value()) << "no second registration";
    EXPECT_TRUE(machine.calls_to("SetupPromptReboot").empty()) << "quiet: no prompt";
    EXPECT_TRUE(machine.ui.dialogs.empty()) << "quiet: no dialog";
}

TEST_F(ResumeRunTest, OverlongProgramPathIsRefusedWith11AndNoRestart) {
    process.module_path = "C:\\" + std::string(225, 'd') + "\\K440dTUn.exe";  // 241 bytes
    int result = run("-before_rebooting");
    EXPECT_EQ(11, result) << "the run after the restart could not be arranged";
    EXPECT_EQ(nullptr, run_once_value()) << "the command is not cut to fit";
    EXPECT_TRUE(machine.calls_to("SetupPromptReboot").empty())
        << "a restart would not resume the removal";
    ASSERT_EQ(1u, machine.ui.boxes.size());
    EXPECT_EQ(std::string(profile.failure_text.japanese) + " (11)", machine.ui.boxes[0].text);
    EXPECT_FALSE(removal_ran());
}

TEST_F(ResumeRunTest, UnarrangedResumeIsReportedEvenWithoutAProgramPath) {
    // Whatever the inventory found, a run that cannot write RunOnce neither offers a restart
    // nor claims success.
    machine.registry.remove_tree(run_once);
    EXPECT_EQ(11, run("-quiet -show_error -before_rebooting"));
    EXPECT_TRUE(machine.calls_to("SetupPromptReboot").empty());
    ASSERT_EQ(1u, machine.ui.boxes.size());
    EXPECT_EQ(std::string(profile.failure_text.japanese) + " (11)", machine.ui.boxes[0].text);
}
