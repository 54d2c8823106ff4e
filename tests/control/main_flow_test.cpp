// The main flow: single instance, refused systems, the argument text, and the choice of
// message boxes by result and switches.
#include <gtest/gtest.h>

#include <string>

#include "base/os_class.h"
#include "control/main_flow.h"
#include "resources/resource.h"
#include "support/sim_test.h"

namespace {
const UINT info_style = 0x40;
const UINT error_style = 0x10;
}  // namespace

class MainFlowTest : public SimTest {
  protected:
    const std::vector<sim::MessageBoxRecord> &boxes() const { return machine.ui.boxes; }
    std::string failure(int code) {
        return std::string(profile.failure_text.japanese) + " (" + std::to_string(code) + ")";
    }
};

TEST_F(MainFlowTest, SecondInstanceEndsWith4AndShowsNothing) {
    sim::Process second;
    second.machine = &machine;
    int second_result = -1;
    size_t boxes_before_second = 0;
    // While the first run shows its success box, a second process starts the program.
    machine.ui.answer_box = [&](const sim::MessageBoxRecord &) {
        if (second_result == -1) {
            sim::ProcessScope scope(second);
            boxes_before_second = machine.ui.boxes.size();
            second_result = run_uninstaller(&profile, nullptr, "");
            sim::exit_process(second);
        }
        return 1;
    };
    EXPECT_EQ(2, run("")) << "a finished run on the NT family has removed devices and needs a restart";
    EXPECT_EQ(4, second_result) << "the second instance finds the mutex";
    EXPECT_EQ(boxes_before_second, boxes().size()) << "the second instance shows nothing";
    EXPECT_TRUE(machine.mutexes.empty()) << "the first run closed its mutex";
}

TEST_F(MainFlowTest, MutexIsNamedAfterTheProductGuidAndHeldForTheRun) {
    EXPECT_EQ(2, run("-quiet")) << "a finished run on the NT family has removed devices and needs a restart";
    auto calls = machine.calls_to("CreateMutexA");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}", calls[0].detail)
        << "no security attributes, not owned, named after the product GUID";
    EXPECT_TRUE(machine.mutexes.empty());
}

TEST_F(MainFlowTest, FailingMutexEndsWith4) {
    machine.faults.push_back(sim::Fault{"CreateMutexA", "", ERROR_ACCESS_DENIED});
    EXPECT_EQ(4, run(""));
    EXPECT_TRUE(boxes().empty());
}

TEST_F(MainFlowTest, QuietRunShowsNoBoxAtAll) {
    EXPECT_EQ(2, run("-quiet")) << "a finished run on the NT family has removed devices and needs a restart";
    EXPECT_TRUE(boxes().empty());
}

TEST_F(MainFlowTest, NonQuietSuccessShowsTheSuccessBox) {
    EXPECT_EQ(2, run("")) << "a finished run on the NT family has removed devices and needs a restart";
    ASSERT_EQ(1u, boxes().size());
    EXPECT_EQ(profile.success_text.japanese, boxes()[0].text);
    EXPECT_EQ(profile.success_caption.japanese, boxes()[0].caption);
    EXPECT_EQ(info_style, boxes()[0].style);
    EXPECT_FALSE(boxes()[0].has_owner);
}

TEST_F(MainFlowTest, QuietWithShowErrorShowsNoSuccessBox) {
    EXPECT_EQ(2, run("-quiet -show_error")) << "a finished run on the NT family has removed devices and needs a restart";
    EXPECT_TRUE(boxes().empty());
}

TEST_F(MainFlowTest, UnknownSwitchInANonQuietRunShowsTheFailureBoxWith8) {
    EXPECT_EQ(8, run("-bogus"));
    ASSERT_EQ(1u, boxes().size());
    EXPECT_EQ(failure(8), boxes()[0].text);
    EXPECT_EQ(profile.failure_caption.japanese, boxes()[0].caption);
    EXPECT_EQ(error_style, boxes()[0].style);
}

TEST_F(MainFlowTest, FailureBoxesFollowQuietAndShowError) {
    struct {
        const char *command_line;
        bool shown;
    } cases[] = {
        {"-bogus", true},                     // neither switch: shown
        {"-quiet -bogus", false},             // quiet alone: nothing
        {"-quiet -show_error -bogus", true},  // both: shown
        {"-show_error -bogus", false},        // show_error alone survives an unfinished parse
    };
    for (const auto &c : cases) {
        machine.ui.boxes.clear();
        EXPECT_EQ(8, run(c.command_line)) << c.command_line;
        EXPECT_EQ(c.shown ? 1u : 0u, boxes().size()) << c.command_line;
        if (c.shown && !boxes().empty()) {
            EXPECT_EQ(failure(8), boxes()[0].text) << c.command_line;
        }
    }
}

TEST_F(MainFlowTest, EnsureWinForAnotherSystemEndsWith10) {
    EXPECT_EQ(10, run("-quiet -ensure_winme"));
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(2, run("-quiet -ensure_winxp")) << "a finished run on the NT family has removed devices and needs a restart";
}

TEST_F(MainFlowTest, RefusedSystemsShowTheFailureBoxEvenWhenQuiet) {
    for (int os_class : {OS_UNKNOWN, OS_WIN95, OS_WIN95_OSR2, OS_NT4}) {
        machine.set_os_class(os_class);
        machine.ui.boxes.clear();
        EXPECT_EQ(9, run("-quiet -bogus")) << "OS class " << os_class << " is refused first";
        ASSERT_EQ(1u, boxes().size()) << "OS class " << os_class;
        EXPECT_EQ(failure(9), boxes()[0].text);
    }
}

TEST_F(MainFlowTest, SupportedSystemsRun) {
    for (int os_class : {OS_WIN98, OS_WIN98_SE, OS_WINME, OS_WIN2000, OS_WINXP, OS_WIN2003,
                         OS_LATER_NT}) {
        machine.set_os_class(os_class);
        EXPECT_NE(9, run("-quiet")) << "OS class " << os_class;
    }
}

TEST_F(MainFlowTest, FailureTextFallbackReplacesTextAndCaption) {
    profile.failure_text = shown_text{nullptr, nullptr};
    EXPECT_EQ(8, run("-bogus"));
    ASSERT_EQ(1u, boxes().size());
    EXPECT_EQ("Software was not uninstalled successfully (8)", boxes()[0].text);
    EXPECT_EQ("Uninstall", boxes()[0].caption);
}

TEST_F(MainFlowTest, WarningBoxCancelEndsWith3AndTheCancellationBox) {
    // The warning needs device ids that did not come from a product record; the defaults do.
    profile.warning_text = shown_text{"Really?", "Really?"};
    machine.ui.answer_box = [](const sim::MessageBoxRecord &box) {
        return box.style == 0x31 ? 2 : 1;
    };
    int result = run("");
    EXPECT_EQ(3, result);
    ASSERT_EQ(2u, boxes().size());
    EXPECT_EQ("Really?", boxes()[0].text);
    EXPECT_EQ((UINT)0x31, boxes()[0].style) << "OK/Cancel with the warning icon";
    EXPECT_EQ(profile.warning_caption.japanese, boxes()[0].caption);
    EXPECT_EQ(profile.cancelled_text.japanese, boxes()[1].text);
    EXPECT_EQ(info_style, boxes()[1].style);
}

TEST_F(MainFlowTest, ExtraSwitchesOfTheProfileAreParsedToo) {
    profile.extra_switches = "-quiet";
    EXPECT_EQ(2, run("")) << "a finished run on the NT family has removed devices and needs a restart";
    EXPECT_TRUE(boxes().empty()) << "the extra -quiet took effect";
    profile.extra_switches = "-bogus";
    EXPECT_EQ(8, run("-quiet"));
}

TEST(ArgumentText, AppendsExtraSwitchesAfterABlankAndATab) {
    char buffer[ARGUMENT_TEXT_SIZE];
    ASSERT_EQ(1, build_argument_text(buffer, sizeof buffer, "-quiet", "-leave_source"));
    EXPECT_STREQ("-quiet \t-leave_source", buffer);
    ASSERT_EQ(1, build_argument_text(buffer, sizeof buffer, "-quiet", ""));
    EXPECT_STREQ("-quiet", buffer) << "an empty extra text appends not even the separator";
    ASSERT_EQ(1, build_argument_text(buffer, sizeof buffer, "-quiet", nullptr));
    EXPECT_STREQ("-quiet", buffer);
}

TEST(ArgumentText, RefusesWhatDoesNotFitInsteadOfCuttingIt) {
    char buffer[ARGUMENT_TEXT_SIZE];
    std::string longest(COMMAND_LINE_LIMIT, 'x');
    EXPECT_EQ(1, build_argument_text(buffer, sizeof buffer, longest.c_str(), nullptr));
    std::string too_long(COMMAND_LINE_LIMIT + 1, 'x');
    EXPECT_EQ(0, build_argument_text(buffer, sizeof buffer, too_long.c_str(), nullptr));
    std::string extra(ARGUMENT_TEXT_SIZE - 8, 'y');
    EXPECT_EQ(0, build_argument_text(buffer, sizeof buffer, "-quiet", extra.c_str()))
        << "command line and extra switches together do not fit";
    EXPECT_STREQ("", buffer);
}

TEST_F(MainFlowTest, OverlongCommandLineIsRefusedWith8NotCut) {
    // Cut at 259 bytes this would read "... -qui" or "... -ensure_win"; it must not run at all.
    std::string padding(250, ' ');
    EXPECT_EQ(8, run((padding + "-leave_source -quiet").c_str()));
    ASSERT_EQ(1u, boxes().size()) << "refused before -quiet was read";
    EXPECT_EQ(failure(8), boxes()[0].text);
    std::string ensure(248, ' ');
    EXPECT_EQ(8, run((ensure + "-ensure_winxp -quiet").c_str()));
}

TEST_F(MainFlowTest, RefusedSystemWinsOverAnOverlongCommandLine) {
    machine.set_os_class(OS_WIN95);
    std::string padding(300, ' ');
    EXPECT_EQ(9, run(padding.c_str()));
}

TEST_F(MainFlowTest, EntryPointSetsTheDialogIdsAndRuns) {
    product_profile *builtin = builtin_profile();
    product_profile saved = *builtin;
    char command_line[] = "-quiet -bogus";
    EXPECT_EQ(8, WinMain(nullptr, nullptr, command_line, 1));
    EXPECT_EQ(IDD_CONFIRMATION, builtin->dialog_id);
    EXPECT_EQ(IDC_CONFIRMATION_TEXT, builtin->text_control_id);
    EXPECT_EQ(IDC_UNINSTALL_BUTTON, builtin->uninstall_button_id);
    EXPECT_EQ(IDC_CANCEL_BUTTON, builtin->cancel_button_id);
    *builtin = saved;
}

TEST_F(MainFlowTest, WarningBoxIsNotOfferedForRecordIdsOrInAQuietRun) {
    profile.warning_text = shown_text{"Really?", "Really?"};
    machine.ui.answer_box = [](const sim::MessageBoxRecord &box) {
        return box.style == 0x31 ? 2 : 1;
    };
    EXPECT_NE(3, run("-quiet")) << "no warning box in a quiet run";
    machine.registry.set_string("Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}",
                                "VIDPID0000", "FFFF/0001");
    machine.ui.boxes.clear();
    EXPECT_NE(3, run(""));
    for (const auto &box : boxes()) EXPECT_NE("Really?", box.text) << "ids came from the record";
}
