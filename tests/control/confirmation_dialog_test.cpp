// The confirmation dialog: texts from the profile, Cancel, Uninstall with the progress text,
// the inputs it ignores, and a dialog that cannot be created.
#include <gtest/gtest.h>

#include <string>

#include "control/confirmation_dialog.h"
#include "resources/resource.h"
#include "support/cp932.h"
#include "support/sim_test.h"

namespace {

sim::DialogInput press(int id) {
    sim::DialogInput input;
    input.kind = sim::DialogInput::PRESS;
    input.control_id = id;
    return input;
}

sim::DialogInput key(sim::DialogInput::Kind kind) {
    sim::DialogInput input;
    input.kind = kind;
    return input;
}

// What a dialog looked like at one moment.
struct DialogView {
    std::string call;
    std::string text;
    bool uninstall_visible = true;
    bool cancel_visible = true;
};

}  // namespace

class ConfirmationDialogTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        // Something for the removal to remove, so that "nothing removed" means something.
        machine.files.write_file("C:\\WINDOWS\\system32\\drivers\\K440dTwh.sys", "driver");
        machine.registry.set_string(
            "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT", "UninstallString",
            "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe");
        machine.registry.set_string("Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}",
                                    "InstallPath", "C:\\Program Files\\halvenor\\K440dT");
        machine.files.write_file("C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe", "exe");
    }
    const sim::DialogWindow &dialog() const { return machine.ui.dialogs.at(0); }
    std::string control_text(int id) const { return dialog().control(id)->text; }
};

TEST_F(ConfirmationDialogTest, TextsComeFromTheProfileWhenTheDialogOpens) {
    machine.ui.dialog_inputs = {press(IDC_CANCEL_BUTTON)};
    run_record record = new_record();
    EXPECT_EQ(3, run_confirmation_dialog(nullptr, &record));
    ASSERT_EQ(1u, machine.ui.dialogs.size());
    EXPECT_EQ(IDD_CONFIRMATION, dialog().template_id) << "template dialog_id from the instance";
    EXPECT_EQ(cp932(u8"ドライバのアンインストール"), dialog().title);
    EXPECT_EQ(cp932(u8"KESA K440dT ドライバをアンインストールする準備ができました。"),
              control_text(IDC_CONFIRMATION_TEXT));
    EXPECT_EQ(cp932(u8"アンインストール"), control_text(IDC_UNINSTALL_BUTTON));
    EXPECT_EQ(cp932(u8"中止"), control_text(IDC_CANCEL_BUTTON));
    auto calls = machine.calls_to("DialogBoxParamA");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(std::to_string(IDD_CONFIRMATION) + " no-owner", calls[0].detail)
        << "the dialog has no owner window";
}

TEST_F(ConfirmationDialogTest, CancelEndsWith3AndRemovesNothing) {
    machine.ui.dialog_inputs = {press(IDC_CANCEL_BUTTON)};
    std::string registry_before = registry_snapshot(), files_before = files_snapshot();
    EXPECT_EQ(3, run(""));
    EXPECT_EQ(registry_before, registry_snapshot()) << "Cancel changes no key or value";
    EXPECT_EQ(files_before, files_snapshot()) << "Cancel deletes no file";
    EXPECT_TRUE(machine.calls_to("DeleteFileA").empty());
    EXPECT_TRUE(machine.calls_to("SetupDiCallClassInstaller").empty());
    ASSERT_EQ(1u, machine.ui.boxes.size()) << "only the cancellation box";
    EXPECT_EQ(profile.cancelled_text.japanese, machine.ui.boxes[0].text);
    EXPECT_EQ(profile.cancelled_caption.japanese, machine.ui.boxes[0].caption);
    EXPECT_EQ(0x40u, machine.ui.boxes[0].style);
    EXPECT_TRUE(dialog().control(IDC_UNINSTALL_BUTTON)->visible)
        << "Cancel does not touch the buttons";
}

TEST_F(ConfirmationDialogTest, UninstallShowsProgressAndHidesBothButtonsBeforeTheRemoval) {
    machine.ui.dialog_inputs = {press(IDC_UNINSTALL_BUTTON)};
    // The removal runs between the repaint and EndDialog: look at the dialog at each call.
    bool removal_window = false;
    std::vector<DialogView> views;
    machine.on_call = [&](const sim::Call &call) {
        if (call.function == "UpdateWindow") removal_window = true;
        if (!removal_window || machine.ui.dialogs.empty()) return;
        const sim::DialogWindow &d = machine.ui.dialogs[0];
        DialogView v;
        v.call = call.function;
        v.text = d.control(IDC_CONFIRMATION_TEXT)->text;
        v.uninstall_visible = d.control(IDC_UNINSTALL_BUTTON)->visible;
        v.cancel_visible = d.control(IDC_CANCEL_BUTTON)->visible;
        views.push_back(v);
        if (call.function == "EndDialog") removal_window = false;
    };
    int result = run("");
    machine.on_call = nullptr;
    EXPECT_EQ(2, result) << "the removal ended the dialog and left the running program to the "
                            "restart";
    ASSERT_FALSE(views.empty()) << "the dialog was repainted before the removal";
    EXPECT_EQ("EndDialog", views.back().call);
    for (const DialogView &v : views) {
        EXPECT_EQ("Uninstalling...", v.text) << "at " << v.call;
        EXPECT_FALSE(v.uninstall_visible) << "Uninstall hidden at " << v.call;
        EXPECT_FALSE(v.cancel_visible) << "Cancel hidden at " << v.call;
    }
    EXPECT_EQ(1, dialog().inputs_delivered);
    ASSERT_EQ(1u, machine.ui.boxes.size());
    EXPECT_EQ(profile.success_text.japanese, machine.ui.boxes[0].text) << "then the success box";
    EXPECT_EQ(1, machine.ui.restart_prompts) << "then the restart prompt";
}

TEST_F(ConfirmationDialogTest, ProgressTextOfTheProfileReplacesTheDefault) {
    std::string progress = cp932(u8"削除しています...");
    profile.progress_text = shown_text{progress.c_str(), progress.c_str()};
    machine.ui.dialog_inputs = {press(IDC_UNINSTALL_BUTTON)};
    run_record record = new_record();
    EXPECT_EQ(0, run_confirmation_dialog(nullptr, &record));
    EXPECT_EQ(cp932(u8"削除しています..."), control_text(IDC_CONFIRMATION_TEXT));
}

TEST_F(ConfirmationDialogTest, EscapeAndTheCloseBoxLeaveTheDialogOpen) {
    machine.ui.dialog_inputs = {key(sim::DialogInput::ESCAPE), key(sim::DialogInput::CLOSE_BOX),
                                press(IDC_CANCEL_BUTTON)};
    run_record record = new_record();
    EXPECT_EQ(3, run_confirmation_dialog(nullptr, &record)) << "only Cancel ended it";
    EXPECT_EQ(3, dialog().inputs_delivered) << "Escape and the close box found it still open";
    EXPECT_EQ(1u, machine.calls_to("EndDialog").size());
    EXPECT_EQ(cp932(u8"KESA K440dT ドライバをアンインストールする準備ができました。"),
              control_text(IDC_CONFIRMATION_TEXT))
        << "the cancel command did not start the removal";
}

TEST_F(ConfirmationDialogTest, DialogOnlyOfEscapesStaysOpen) {
    machine.ui.dialog_inputs = {key(sim::DialogInput::ESCAPE), key(sim::DialogInput::ESCAPE)};
    machine.ui.enter_when_out_of_input = false;
    run_record record = new_record();
    run_confirmation_dialog(nullptr, &record);
    EXPECT_TRUE(dialog().left_open) << "nothing but the two buttons ends the dialog";
    EXPECT_TRUE(machine.calls_to("EndDialog").empty());
}

TEST_F(ConfirmationDialogTest, EnterPressesUninstallTheDefaultButton) {
    run_record record = new_record();
    EXPECT_EQ(0, run_confirmation_dialog(nullptr, &record));
    EXPECT_EQ("Uninstalling...", control_text(IDC_CONFIRMATION_TEXT));
}

// Where the dialog cannot be created no one can be asked: the run changes nothing and ends
// with 16, never with -1 (255 to the caller), and shows no box that would find no one either.
TEST_F(ConfirmationDialogTest, DialogThatCannotBeCreatedEndsWith16AndShowsNothing) {
    // A Japanese Windows XP: the program makes a Unicode dialog.
    machine.faults.push_back(sim::Fault{"DialogBoxParamW", "", 8});
    EXPECT_EQ(16, run(""));
    EXPECT_TRUE(machine.ui.boxes.empty());
    EXPECT_TRUE(machine.calls_to("DeleteFileA").empty()) << "nothing removed";
}

TEST_F(ConfirmationDialogTest, MissingTemplateGivesMinus1) {
    machine.ui.dialog_templates.clear();
    run_record record = new_record();
    EXPECT_EQ(-1, run_confirmation_dialog(nullptr, &record));
    EXPECT_TRUE(machine.ui.dialogs.empty());
}

TEST_F(ConfirmationDialogTest, QuietRunShowsNoDialog) {
    run("-quiet");
    EXPECT_TRUE(machine.ui.dialogs.empty());
    EXPECT_TRUE(machine.ui.boxes.empty());
}
