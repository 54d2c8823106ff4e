// Runs where no one can answer (a deployment tool's service session, a dialog that cannot be
// created, switches written for another installer) never wait for an answer; and the exit code
// in Windows Installer's terms.
#include <gtest/gtest.h>

#include <string>

#include "support/sim_test.h"

namespace {

struct AskingCase {
    const char *name;
    const char *command_line;
    bool station_visible;
    bool dialog_template;  // false: the dialog cannot be created
    int result;
    size_t boxes;
    int restart_prompts;
    bool changes;  // whether the run may change the machine
};

void PrintTo(const AskingCase &c, std::ostream *out) { *out << c.name; }

class UnattendedRun : public SimTest, public ::testing::WithParamInterface<AskingCase> {};

TEST_P(UnattendedRun, AsksOnlyWhereSomeoneCanAnswer) {
    const AskingCase &c = GetParam();
    machine.ui.window_station_visible = c.station_visible;
    if (!c.dialog_template) machine.ui.dialog_templates.clear();
    const std::string registry_before = registry_snapshot();
    EXPECT_EQ(c.result, run(c.command_line));
    EXPECT_EQ(c.boxes, machine.ui.boxes.size());
    EXPECT_EQ(c.restart_prompts, machine.ui.restart_prompts);
    if (!c.changes) {
        EXPECT_EQ(registry_before, registry_snapshot()) << "nothing is changed";
    }
    if (!c.station_visible) {
        EXPECT_TRUE(machine.ui.dialogs.empty()) << "no dialog is shown";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Points, UnattendedRun,
    ::testing::Values(
        AskingCase{"dialog_run_in_a_service_session", "", false, true, 16, 0, 0, false},
        AskingCase{"dry_run_box_in_a_service_session", "-dry_run", false, true, 16, 0, 0, false},
        AskingCase{"failure_box_in_a_service_session", "-quiet -show_error -ensure_win98", false,
                   true, 10, 0, 0, false},
        AskingCase{"failure_box_where_someone_sees_it", "-quiet -show_error -ensure_win98", true,
                   true, 10, 1, 0, false},
        AskingCase{"restart_question_in_a_service_session", "-quiet -force_rebootprompt", false,
                   true, 2, 0, 0, true},
        AskingCase{"restart_question_where_someone_sees_it", "-quiet -force_rebootprompt", true,
                   true, 2, 0, 1, true},
        AskingCase{"resume_restart_question_in_a_service_session", "-quiet -before_rebooting",
                   false, true, 0, 0, 0, true},
        AskingCase{"quiet_run_in_a_service_session", "-quiet", false, true, 2, 0, 0, true},
        AskingCase{"dialog_that_cannot_be_created", "", true, false, 16, 0, 0, false},
        AskingCase{"switches_of_another_installer", "/quiet /norestart", true, true, 8, 0, 0, false},
        AskingCase{"one_slash_word", "-quiet /norestart", true, true, 8, 0, 0, false},
        AskingCase{"slash_inside_a_quoted_path", "-quiet -log_file:\"C:\\my logs /x.log\"", true,
                   true, 2, 0, 0, true}),
    [](const ::testing::TestParamInfo<AskingCase> &info) { return std::string(info.param.name); });

class MsiExitCodes : public SimTest {};

TEST_F(MsiExitCodes, WholeRunsEndInWindowsInstallersTerms) {
    EXPECT_EQ(3010, run("-quiet -msi_exit_codes"));
    EXPECT_EQ(0, run("-quiet -msi_exit_codes -msi_mode")) << "nothing to restart for";
    EXPECT_EQ(1603, run("-quiet -msi_exit_codes -ensure_win98"));
    EXPECT_EQ(1603, run("/quiet -msi_exit_codes"));
    EXPECT_EQ(2, run("-quiet")) << "without the switch the product's own codes";
    EXPECT_EQ(1641, run("-quiet -msi_exit_codes -force_rebooting"));
    machine.ui.dialog_inputs = {sim::DialogInput{sim::DialogInput::PRESS, profile.cancel_button_id}};
    EXPECT_EQ(1602, run("-msi_exit_codes"));
}

TEST_F(MsiExitCodes, AnotherRunningUninstallerIs1618) {
    sim::Process second;
    second.machine = &machine;
    int second_result = -1;
    machine.ui.answer_box = [&](const sim::MessageBoxRecord &) {
        sim::ProcessScope scope(second);
        if (second_result == -1) second_result = run_uninstaller(&profile, nullptr, "-msi_exit_codes");
        sim::exit_process(second);
        return 1;
    };
    run("");
    EXPECT_EQ(1618, second_result);
}

}  // namespace
