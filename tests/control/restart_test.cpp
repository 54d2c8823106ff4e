// Restart and resume: the restart prompt, the forced restart on both families, and the RunOnce
// command that resumes the removal after a restart.
#include <gtest/gtest.h>

#include <string>

#include "base/os_class.h"
#include "control/restart.h"
#include "sim/restart_model.h"
#include "support/sim_test.h"

namespace {
const char *const run_once = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char *const program = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe";

std::string value_text(sim::Machine &machine, const char *key, const char *name) {
    sim::RegKey *k = machine.registry.find(key);
    sim::RegValue *v = k ? k->value(name) : nullptr;
    return v ? std::string(v->data.begin(), v->data.end()) : std::string("<missing>");
}

std::vector<std::string> call_names(const sim::Machine &machine) {
    std::vector<std::string> names;
    for (const sim::Call &c : machine.calls) names.push_back(c.function);
    return names;
}
}  // namespace

class RestartTest : public SimTest {};

TEST_F(RestartTest, PromptAsksWithoutQueueOrOwner) {
    run_record record = new_record(OS_WINXP);
    prompt_restart(&record);
    auto calls = machine.calls_to("SetupPromptReboot");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("no-queue no-owner prompt", calls[0].detail);
    EXPECT_EQ(1, machine.ui.restart_prompts);
    EXPECT_EQ(0, machine.restart_requests) << "the user declined";
}

TEST_F(RestartTest, PromptRestartsWhenTheUserAgrees) {
    machine.ui.restart_prompt_accepted = true;
    run_record record = new_record(OS_WINXP);
    prompt_restart(&record);
    EXPECT_EQ(1, machine.restart_requests);
}

TEST_F(RestartTest, WithoutThePlatformsPromptTheProgramAsksAndRestartsItself) {
    const struct {
        const char *why;
        int os_class;
        bool missing;  // setupapi.dll lacks SetupPromptReboot; else the prompt fails
        int answer;
        int restarts;
    } rows[] = {
        {"98 without the export, yes", OS_WIN98, true, IDYES, 1},
        {"ME without the export, no", OS_WINME, true, IDNO, 0},
        {"XP without the export, yes: the shutdown privilege comes first", OS_WINXP, true, IDYES, 1},
        {"2000, the prompt fails", OS_WIN2000, false, IDYES, 1},
    };
    for (const auto &r : rows) {
        release_setupapi();  // as in a new process
        use_os(r.os_class);
        machine.missing_exports.clear();
        machine.faults.clear();
        machine.ui.boxes.clear();
        machine.calls.clear();
        machine.restart_requests = 0;
        process.token = sim::administrator_token();
        if (r.missing)
            machine.missing_exports.insert("SetupPromptReboot");
        else
            machine.faults.push_back(sim::Fault{"SetupPromptReboot", "", ERROR_NOT_ENOUGH_MEMORY});
        const int answer = r.answer;
        machine.ui.answer_box = [answer](const sim::MessageBoxRecord &) { return answer; };
        run_record record = new_record(r.os_class);
        record.language = LANGUAGE_JAPANESE;
        prompt_restart(&record);
        ASSERT_EQ(1u, machine.ui.boxes.size()) << r.why;
        EXPECT_EQ(profile.restart_question.japanese, machine.ui.boxes[0].text) << r.why;
        EXPECT_EQ((UINT)(MB_YESNO | MB_ICONQUESTION), machine.ui.boxes[0].style) << r.why;
        EXPECT_EQ(r.restarts, machine.restart_requests) << r.why;
        std::vector<sim::Call> exits = machine.calls_to("ExitWindowsEx");
        ASSERT_EQ(r.restarts ? 1u : 0u, exits.size()) << r.why;
        if (r.restarts) {
            EXPECT_EQ("0x2 0", exits[0].detail) << "EWX_REBOOT, not forced: " << r.why;
        }
    }
}

TEST_F(RestartTest, ForceRestartOn98AndMeNeverTouchesTheToken) {
    for (int os_class : {OS_WIN98, OS_WIN98_SE, OS_WINME}) {
        machine.calls.clear();
        use_os(os_class);
        force_restart(os_class);
        std::vector<std::string> expected = {"ExitWindowsEx"};
        EXPECT_EQ(expected, call_names(machine)) << "OS class " << os_class;
        EXPECT_EQ("0x6 0", machine.calls.back().detail) << "EWX_REBOOT | EWX_FORCE, reserved 0";
    }
    EXPECT_EQ(3, machine.restart_requests);
}

TEST_F(RestartTest, ForceRestartOnNtEnablesTheShutdownPrivilegeFirst) {
    for (int os_class : {OS_WIN2000, OS_WINXP, OS_WIN2003, OS_LATER_NT}) {
        machine.calls.clear();
        process.token = sim::administrator_token();
        use_os(os_class);
        force_restart(os_class);
        std::vector<std::string> names = call_names(machine);
        std::vector<std::string> expected = {"OpenProcessToken", "LookupPrivilegeValueA",
                                             "AdjustTokenPrivileges", "CloseHandle",
                                             "ExitWindowsEx"};
        EXPECT_EQ(expected, names) << "OS class " << os_class;
        ASSERT_EQ(5u, machine.calls.size());
        EXPECT_EQ("0x28", machine.calls[0].detail) << "TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY";
        EXPECT_EQ(" SeShutdownPrivilege", machine.calls[1].detail) << "on the local system";
        EXPECT_EQ("1", machine.calls[2].detail) << "one privilege, the others kept";
        EXPECT_EQ("0x6 0", machine.calls[4].detail);
    }
    EXPECT_EQ(4, machine.restart_requests) << "every restart was accepted";
}

TEST_F(RestartTest, ForceRestartIsTriedEvenWhenTheTokenCannotBeOpened) {
    process.token.open_fails = true;
    force_restart(OS_WINXP);
    EXPECT_EQ(1u, machine.calls_to("ExitWindowsEx").size());
    EXPECT_EQ(0, machine.restart_requests) << "without the privilege the platform refuses";
}

TEST_F(RestartTest, ResumeCommandQuotesThePath) {
    char buffer[RESUME_COMMAND_SIZE];
    ASSERT_EQ(1, build_resume_command(buffer, sizeof buffer, program));
    EXPECT_STREQ("\"C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe\" -ignore_before_reboot_cmd",
                 buffer)
        << "unquoted, the platform would start C:\\Program.exe";
}

TEST_F(RestartTest, ResumeCommandRefusesAPathThatDoesNotFitInsteadOfCuttingIt) {
    char buffer[RESUME_COMMAND_SIZE];
    // 1 quote + path + quote + blank + 25 switch bytes + terminator = 260: 231 bytes of path.
    std::string longest = "C:\\" + std::string(231 - 3 - 4, 'a') + ".exe";
    ASSERT_EQ(231u, longest.size());
    EXPECT_EQ(1, build_resume_command(buffer, sizeof buffer, longest.c_str()));
    EXPECT_EQ(259u, std::string(buffer).size());
    std::string too_long = "C:\\" + std::string(232 - 3 - 4, 'a') + ".exe";
    EXPECT_EQ(0, build_resume_command(buffer, sizeof buffer, too_long.c_str()));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(0, build_resume_command(buffer, sizeof buffer, ""));
    EXPECT_EQ(0, build_resume_command(buffer, sizeof buffer, "C:\\a\" -x \"b.exe"))
        << "a quote would end the quoted path early";
}

TEST_F(RestartTest, RegisterResumeWritesTheRunOnceValue) {
    ASSERT_EQ(1, register_resume("K440dTUn.exe", program));
    std::string expected =
        std::string("\"") + program + "\" -ignore_before_reboot_cmd" + std::string(1, '\0');
    EXPECT_EQ(expected, value_text(machine, run_once, "K440dTUn.exe"))
        << "REG_SZ whose length counts the terminator";
    EXPECT_EQ((DWORD)REG_SZ, machine.registry.find(run_once)->value("K440dTUn.exe")->type);
    sim::RestartReport report = sim::carry_out_restart(machine);
    ASSERT_EQ(1u, report.run_once.size());
    EXPECT_EQ("\"" + std::string(program) + "\" -ignore_before_reboot_cmd", report.run_once[0]);
}

TEST_F(RestartTest, RegisterResumeWritesNothingForAnOverlongPath) {
    std::string too_long = "C:\\" + std::string(240, 'a') + "\\K440dTUn.exe";
    EXPECT_EQ(0, register_resume("K440dTUn.exe", too_long.c_str()));
    EXPECT_TRUE(machine.registry.find(run_once)->values.empty()) << "nothing cut, nothing written";
}

TEST_F(RestartTest, RegisterResumeReportsAMissingRunOnceKey) {
    machine.registry.remove_tree(run_once);
    EXPECT_EQ(0, register_resume("K440dTUn.exe", program));
    EXPECT_EQ(nullptr, machine.registry.find(run_once)) << "the key is opened, not created";
}
