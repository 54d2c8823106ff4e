// A quiet run killed after each of its mutating platform calls in turn, then started again
// the way a user would (from the UninstallString of the list of installed programs, through
// the dialog) and restarted, in either order: the machine must end exactly as after a run that
// was never cut off, and the uninstall record must still be there, with the program it starts,
// while anything is left to do.
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
// The program's file once the NT family has set it aside for the restart.
const char *const kProgramAside = "C:\\Program Files\\halvenor\\K440dT\\K440dT_del0.tmp";

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

    static Outcome snapshot(sim::Machine &m) {
        return Outcome{sim::export_registry(m.registry), sim::export_files(m.files)};
    }

    // wininit.bak keeps the lines of the last start only: after an extra start it tells of
    // that start, not of the run.
    static void forget_last_start(sim::Machine &m) { m.files.remove(m.windows_dir + "\\wininit.bak"); }
};

// The two orders in which a cut-off run meets its finish: the user starts it again before
// restarting, or the machine restarts first (a power cut, a forced logoff, a hung run) and
// carries out what the run had handed to the restart.
struct FinishOrder {
    const char *name;
    bool restart_first;
};
const FinishOrder kOrders[] = {{"rerun, then restart", false}, {"restart, rerun, restart", true}};

TEST_P(InterruptedRun, EveryCutOffRunIsFinishedByRunningItAgain) {
    std::unique_ptr<sim::Machine> reference = planted();
    ASSERT_EQ(0, run_on(*reference, kProgram, "-quiet"));
    const int mutating_calls = reference->mutating_calls;
    ASSERT_GT(mutating_calls, 10) << "the uninterrupted run should change the machine";
    sim::carry_out_restart(*reference);
    const Outcome expected = snapshot(*reference);
    forget_last_start(*reference);
    const Outcome expected_but_last_start = snapshot(*reference);

    for (const FinishOrder &order : kOrders) {
        SCOPED_TRACE(order.name);
        const Outcome &wanted = order.restart_first ? expected_but_last_start : expected;
        std::vector<int> unlisted;    // points after which the list no longer starts the program
        std::vector<int> own_file;    // points after which the program's file alone stays
        std::vector<int> unfinished;  // points after which the machine ends otherwise
        for (int k = 1; k <= mutating_calls; ++k) {
            SCOPED_TRACE("killed after mutating call " + std::to_string(k));
            std::unique_ptr<sim::Machine> m = planted();
            m->kill_after_mutating_call = k;
            ASSERT_EQ(1, run_on(*m, kProgram, "-quiet")) << "the run should be killed";
            m->kill_after_mutating_call = 0;
            if (order.restart_first) sim::carry_out_restart(*m);
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
            sim::carry_out_restart(*m);
            if (order.restart_first) forget_last_start(*m);
            Outcome got = snapshot(*m);
            if (got.registry == wanted.registry && got.files == wanted.files) continue;
            // Without the program's hand-off, its wininit.ini line is missing from wininit.bak;
            // a cut between setting it aside and handing it over leaves it under its new name.
            const char *left = m->files.exists(kProgram) ? kProgram : kProgramAside;
            if (program.empty() && m->files.exists(left)) {
                m->files.remove(left);
                forget_last_start(*m);
                got = snapshot(*m);
                if (got.registry == expected_but_last_start.registry &&
                    got.files == expected_but_last_start.files) {
                    own_file.push_back(k);
                    continue;
                }
            }
            unfinished.push_back(k);
        }
        std::printf("%s, %s: %d of %d interruption points end clean; after %d the program's file stays\n",
                    GetParam().name, order.name,
                    mutating_calls - (int)unfinished.size() - (int)own_file.size(), mutating_calls,
                    (int)own_file.size());
        EXPECT_EQ(std::vector<int>{}, unfinished)
            << "after these calls the machine ends otherwise than after an uninterrupted run";
        // The records go just before the hand-off of the program's own file, the run's last
        // change: only a cut between the two leaves something behind, that file alone.
        std::vector<int> tail;
        for (int k = mutating_calls - (int)own_file.size(); k <= mutating_calls; ++k) tail.push_back(k);
        EXPECT_EQ(tail, unlisted) << "the listing should end with the uninstall record's deletion, "
                                     "and only the program's hand-off should follow it";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Machines, InterruptedRun,
    ::testing::Values(
        Interruption{"nt", OS_WINXP, {"tests/fixtures/nt-driver-set"}},
        Interruption{"nt_devices", OS_WINXP, {"tests/fixtures/nt-driver-set", "e2e/fixtures/nt-devices"}},
        Interruption{"nt_driver_in_use", OS_WINXP, {"tests/fixtures/nt-driver-set", "tests/fixtures/nt-driver-in-use"}},
        Interruption{"windows_me", OS_WINME, {"tests/fixtures/legacy-driver-set"}},
        Interruption{"windows_98_se", OS_WIN98_SE, {"tests/fixtures/legacy-driver-set"}}),
    [](const ::testing::TestParamInfo<Interruption> &info) { return std::string(info.param.name); });

}  // namespace
