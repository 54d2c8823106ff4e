// The 32-bit program on 64-bit Windows without its companion: it finds out with
// IsWow64Process (looked up at run time) and refuses before any change.
#include <gtest/gtest.h>

#include <string>

#include "base/os_class.h"
#include "control/process_kind.h"
#include "support/sim_test.h"

namespace {

class Wow64Floor : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        load_fixture("nt-driver-set");
    }
    std::string failure(int code) {
        return std::string(profile.failure_text.japanese) + " (" + std::to_string(code) + ")";
    }
};

TEST_F(Wow64Floor, ProcessKindByMachine) {
    struct {
        int os_class;
        bool x64;
        bool program_64bit;
        const char *missing;  // a kernel32 export this machine lacks
        int kind;
    } cases[] = {
        {OS_WIN98, false, false, "", PROCESS_32BIT_WINDOWS},    // no IsWow64Process: not WOW64
        {OS_WIN2000, false, false, "", PROCESS_32BIT_WINDOWS},  // the same
        {OS_WINXP, false, false, "", PROCESS_32BIT_WINDOWS},
        {OS_WINXP, false, false, "IsWow64Process", PROCESS_32BIT_WINDOWS},  // XP before SP2
        {OS_WIN2003, true, false, "", PROCESS_UNDER_WOW64},
        {OS_LATER_NT, true, false, "", PROCESS_UNDER_WOW64},
        {OS_LATER_NT, true, true, "", PROCESS_64BIT_WINDOWS},
        {OS_LATER_NT, false, true, "", PROCESS_64BIT_ELSEWHERE},
    };
    for (const auto &c : cases) {
        use_os(c.os_class);
        machine.x64 = c.x64;
        process.is_64bit = c.program_64bit;
        machine.missing_exports.clear();
        if (c.missing[0]) machine.missing_exports.insert(c.missing);
        EXPECT_EQ(c.kind, classify_process())
            << "OS class " << c.os_class << (c.x64 ? " x64" : "") << (c.program_64bit ? " 64-bit" : "")
            << " missing " << c.missing;
    }
}

TEST_F(Wow64Floor, FailingIsWow64ProcessCountsAsWow64) {
    use_os(OS_LATER_NT);
    machine.faults.push_back(sim::Fault{"IsWow64Process", "", ERROR_ACCESS_DENIED});
    EXPECT_EQ(PROCESS_UNDER_WOW64, classify_process())
        << "a run that cannot tell is refused rather than done through the redirected view";
}

TEST_F(Wow64Floor, WithoutTheCompanionTheRunChangesNothingAndEndsWith9) {
    struct {
        const char *command_line;
        bool box;
    } cases[] = {
        {"", true},
        {"-quiet", false},
        {"-quiet -show_error", true},
    };
    use_os(OS_LATER_NT);
    machine.x64 = true;
    const std::string registry_before = registry_snapshot();
    const std::string files_before = files_snapshot();
    for (const auto &c : cases) {
        machine.ui.boxes.clear();
        EXPECT_EQ(9, run(c.command_line)) << c.command_line;
        ASSERT_EQ(c.box ? 1u : 0u, machine.ui.boxes.size()) << c.command_line;
        if (c.box) {
            EXPECT_EQ(failure(9), machine.ui.boxes[0].text) << c.command_line;
        }
        EXPECT_EQ(registry_before, registry_snapshot()) << c.command_line;
        EXPECT_EQ(files_before, files_snapshot()) << c.command_line;
        EXPECT_TRUE(machine.mutexes.empty()) << c.command_line;
    }
}

TEST_F(Wow64Floor, AFolderNamedLikeTheCompanionIsNoCompanion) {
    use_os(OS_LATER_NT);
    machine.x64 = true;
    machine.files.make_dir("C:\\Program Files\\halvenor\\K440dT\\K440dTUn64.exe");
    EXPECT_EQ(9, run("-quiet"));
    EXPECT_TRUE(machine.calls_to("CreateProcessA").empty());
}

}  // namespace
