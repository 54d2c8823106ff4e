// A quiet run killed after each of its mutating platform calls in turn, then started again
// the way a user would (from the UninstallString of the list of installed programs, through
// the dialog) and followed by a restart: the machine must end exactly as after a run that was
// never cut off, and the uninstall record must still be there while anything is left to do.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/os_class.h"
#include "base/reg_helpers.h"
#include "sim/device_tree.h"
#include "sim/restart_model.h"
#include "sim/snapshot_lines.h"
#include "support/sim_test.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define KILLED_PROCESS_MEMORY_BEGIN() __lsan_disable()
#define KILLED_PROCESS_MEMORY_END() __lsan_enable()
#else
#define KILLED_PROCESS_MEMORY_BEGIN()
#define KILLED_PROCESS_MEMORY_END()
#endif

namespace {

const char *const kUninstallRoot = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char *const kProgram = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe";

struct Interruption {
    const char *name;
    int os_class;
    std::vector<std::string> fixtures;  // below the source folder
};

void PrintTo(const Interruption &c, std::ostream *out) { *out << c.name; }

struct Outcome {
    std::string registry;
    std::string files;
};

class InterruptedRun : public SimTest, public ::testing::WithParamInterface<Interruption> {
  protected:
    std::unique_ptr<sim::Machine> planted() {
        std::unique_ptr<sim::Machine> m(new sim::Machine);
        m->set_os_class(GetParam().os_class);
        m->files.make_dir("C:\\WINDOWS\\system32\\drivers");
        m->files.make_dir("C:\\WINDOWS\\inf");
        m->registry.create(kUninstallRoot);
        m->registry.create("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
        m->registry.create("System\\CurrentControlSet\\Services");
        for (const std::string &f : GetParam().fixtures) {
            std::string error;
            EXPECT_TRUE(sim::load_machine(*m, std::string(K440_SOURCE_DIR) + "/" + f, &error)) << error;
        }
        sim::load_devices_from_enum(*m);
        return m;
    }

    // Runs the program as a process of `m`; 1 when the process was killed part way.
    int run_on(sim::Machine &m, const std::string &program, const char *command_line) {
        sim::Process p;
        p.machine = &m;
        p.module_path = program;
        sim::ProcessScope scope(p);
        int killed = 0;
        KILLED_PROCESS_MEMORY_BEGIN();
        try {
            run_uninstaller(&profile, nullptr, command_line);
        } catch (const sim::ProcessKilled &) {
            killed = 1;
        }
        KILLED_PROCESS_MEMORY_END();
        sim::exit_process(p);
        return killed;
    }

    // The program the list of installed programs would start; empty when the list has none.
    static std::string listed_program(sim::Machine &m) {
        sim::RegKey *root = m.registry.find(kUninstallRoot);
        for (const auto &record : root->subkeys) {
            sim::RegValue *v = record->value("UninstallString");
            if (!v) continue;
            std::string command(v->data.begin(), v->data.end());
            command = command.substr(0, command.find('\0'));
            if (lower(command).find("k440dtun.exe") != std::string::npos) return command;
        }
        return "";
    }

    static Outcome outcome_of(sim::Machine &m) {
        sim::carry_out_restart(m);
        return Outcome{sim::export_registry(m.registry), sim::export_files(m.files)};
    }
};

TEST_P(InterruptedRun, EveryCutOffRunIsFinishedByRunningItAgain) {
    std::unique_ptr<sim::Machine> reference = planted();
    ASSERT_EQ(0, run_on(*reference, kProgram, "-quiet"));
    const int mutating_calls = reference->mutating_calls;
    ASSERT_GT(mutating_calls, 10) << "the uninterrupted run should change the machine";
    const Outcome expected = outcome_of(*reference);

    std::vector<int> unlisted;    // points after which the list no longer starts the program
    std::vector<int> unfinished;  // points after which the machine does not end as expected
    for (int k = 1; k <= mutating_calls; ++k) {
        SCOPED_TRACE("killed after mutating call " + std::to_string(k));
        std::unique_ptr<sim::Machine> m = planted();
        m->kill_after_mutating_call = k;
        ASSERT_EQ(1, run_on(*m, kProgram, "-quiet")) << "the run should be killed";
        m->kill_after_mutating_call = 0;
        std::string program = listed_program(*m);
        if (program.empty()) {
            unlisted.push_back(k);
        } else {
            // A listed program that is gone cannot be started: the point stays unfinished.
            m->ui.dialog_inputs = {sim::DialogInput{sim::DialogInput::PRESS, profile.uninstall_button_id}};
            if (!m->files.exists(program) || run_on(*m, program, "") != 0) {
                unfinished.push_back(k);
                continue;
            }
        }
        Outcome got = outcome_of(*m);
        if (got.registry != expected.registry || got.files != expected.files) unfinished.push_back(k);
    }
    std::printf("%s: %d of %d interruption points end clean\n", GetParam().name,
                mutating_calls - (int)unfinished.size(), mutating_calls);
    EXPECT_EQ(std::vector<int>{}, unfinished)
        << "after these calls, a rerun from the list and a restart leave the machine otherwise "
           "than an uninterrupted run";
    EXPECT_EQ(std::vector<int>{mutating_calls}, unlisted)
        << "only the last call, the uninstall record's deletion, ends the listing";
}

INSTANTIATE_TEST_SUITE_P(
    Machines, InterruptedRun,
    ::testing::Values(
        Interruption{"nt", OS_WINXP, {"tests/fixtures/nt-driver-set"}},
        Interruption{"nt_devices", OS_WINXP, {"tests/fixtures/nt-driver-set", "e2e/fixtures/nt-devices"}},
        Interruption{"windows_me", OS_WINME, {"tests/fixtures/legacy-driver-set"}},
        Interruption{"windows_98_se", OS_WIN98_SE, {"tests/fixtures/legacy-driver-set"}}),
    [](const ::testing::TestParamInfo<Interruption> &info) { return std::string(info.param.name); });

}  // namespace
