// What the removal leaves behind: listed files in use go to the restart; a device, key, value
// or file that stays and is not handed over makes the run a partial removal (15); each outcome
// is a line of the run log.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>

#include "base/os_class.h"
#include "base/result_codes.h"
#include "base/run_log.h"
#include "removal/run_removal.h"
#include "support/device_machine.h"
#include "sim/restart_model.h"
#include "support/sim_test.h"

namespace {

const char kLog[] = "C:\\run.log";
const char kBusy[] = "C:\\WINDOWS\\system32\\drivers\\k440mdm.sys";
const char kBusyAside[] = "C:\\WINDOWS\\system32\\drivers\\K440dT_del0.tmp";
const char kProgram[] = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe";  // the running one
const char kKey[] = "SYSTEM\\CurrentControlSet\\Services\\k440mdm";
const char kValueKey[] = "Software\\Halvenor\\Values";
const DWORD kInWow64 = 0xE0000235;  // ERROR_IN_WOW64: DIF_REMOVE from a 32-bit process on x64

class PartialRemoval : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        record = new_record();
        use_builtin_ids(&record);
        std::strcpy(record.windows_dir, "C:\\WINDOWS");
        std::strcpy(record.own_path, process.module_path.c_str());
        ASSERT_EQ(1, open_run_log(kLog));
    }
    void TearDown() override {
        close_run_log();
        free_run_lists(&record);
        SimTest::TearDown();
    }
    std::string log() const {
        const sim::FileNode *node = machine.files.find(kLog);
        return node ? node->content : "";
    }
    bool pending(const std::string &path) const {
        for (const sim::PendingRename &r : machine.pending_renames)
            if (r.source == path) return true;
        return false;
    }
    run_record record;
};

struct Obstacle {
    const char *name;
    int os_class;
    std::function<void(PartialRemoval &, sim::Machine &, run_record &)> plant;
    int result;
    const char *log_line;  // a line the log must hold
    // A reinstall that writes this file before the restart, and whether it outlives the restart.
    const char *reinstalled;
    bool reinstall_survives;
};

void PrintTo(const Obstacle &o, std::ostream *os) { *os << o.name; }

void busy_file(PartialRemoval &, sim::Machine &m, run_record &r) {
    m.files.write_file(kBusy, "driver")->in_use = true;
    push_string(&r.files_to_delete, kBusy);
}

void stuck_key(PartialRemoval &, sim::Machine &m, run_record &r) {
    m.registry.create(kKey);
    push_string(&r.keys_to_delete, kKey);
    m.faults.push_back(sim::Fault{"RegDeleteKeyA", kKey, ERROR_ACCESS_DENIED});
}

void stuck_value(PartialRemoval &, sim::Machine &m, run_record &r) {
    m.registry.set_string(kValueKey, "OEM0", "k440.inf");
    push_value_pair(&r.values_to_delete, kValueKey, "OEM0");
    m.faults.push_back(sim::Fault{"RegDeleteValueA", std::string(kValueKey) + " OEM0",
                                  ERROR_ACCESS_DENIED});
}

void wow64_device(PartialRemoval &, sim::Machine &m, run_record &) {
    plant_device_with_driver(m, "USB\\VID_FFFF&PID_0001\\7", {"USB\\VID_FFFF&PID_0001&REV_0100"},
                             MODEM_CLASS, "0007", DriverKeyPlan{"oem12.inf", "Halvenor", false});
    m.faults.push_back(sim::Fault{"SetupDiCallClassInstaller", "DIF_REMOVE", kInWow64});
}

void busy_file_not_handed(PartialRemoval &p, sim::Machine &m, run_record &r) {
    busy_file(p, m, r);
    m.faults.push_back(sim::Fault{"MoveFileExA", kBusy, ERROR_ACCESS_DENIED});
}

void running_program(PartialRemoval &, sim::Machine &m, run_record &r) {
    m.files.write_file(kProgram, "program");
    push_string(&r.files_to_delete, kProgram);
}

void busy_file_not_renamed(PartialRemoval &p, sim::Machine &m, run_record &r) {
    busy_file(p, m, r);
    m.faults.push_back(sim::Fault{"MoveFileExA", kBusy, ERROR_SHARING_VIOLATION, 0, 1});
}

void busy_file_aside_refused(PartialRemoval &p, sim::Machine &m, run_record &r) {
    busy_file(p, m, r);
    m.faults.push_back(sim::Fault{"MoveFileExA", kBusyAside, ERROR_ACCESS_DENIED, 0, 1});
}

// 256 characters: a set-aside name beside it would not fit into a path.
const std::string kDeepBusy = "C:\\" + std::string(246, 'd') + "\\a.sys";

void deep_busy_file(PartialRemoval &, sim::Machine &m, run_record &r) {
    m.files.write_file(kDeepBusy, "driver")->in_use = true;
    push_string(&r.files_to_delete, kDeepBusy.c_str());
}

void missing_file(PartialRemoval &, sim::Machine &, run_record &r) {
    push_string(&r.files_to_delete, "C:\\WINDOWS\\system32\\drivers\\k440gone.sys");
}

const Obstacle kObstacles[] = {
    {"file in use, NT", OS_WINXP, busy_file, RESULT_SUCCESS,
     "hand C:\\WINDOWS\\system32\\drivers\\k440mdm.sys to the restart: renamed to "
     "C:\\WINDOWS\\system32\\drivers\\K440dT_del0.tmp, done", kBusy, true},
    {"running program, NT", OS_WINXP, running_program, RESULT_SUCCESS,
     "hand C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe to the restart: renamed to "
     "C:\\Program Files\\halvenor\\K440dT\\K440dT_del0.tmp, done", kProgram, true},
    {"file in use that cannot be renamed, NT", OS_WINXP, busy_file_not_renamed, RESULT_SUCCESS,
     "hand C:\\WINDOWS\\system32\\drivers\\k440mdm.sys to the restart: done", kBusy, false},
    {"set-aside file that the restart refuses", OS_WINXP, busy_file_aside_refused,
     RESULT_PARTIAL_REMOVAL,
     "hand C:\\WINDOWS\\system32\\drivers\\k440mdm.sys to the restart: renamed to "
     "C:\\WINDOWS\\system32\\drivers\\K440dT_del0.tmp, failed (error 5), renamed back", nullptr, false},
    {"file in use whose set-aside name would not fit, NT", OS_WINXP, deep_busy_file,
     RESULT_SUCCESS, "a.sys to the restart: done", nullptr, false},
    {"file in use, 98 SE", OS_WIN98_SE, busy_file, RESULT_SUCCESS,
     "hand C:\\WINDOWS\\system32\\drivers\\k440mdm.sys to the restart: wininit.ini line", nullptr, false},
    {"file in use that the restart refuses", OS_WINXP, busy_file_not_handed,
     RESULT_PARTIAL_REMOVAL,
     "hand C:\\WINDOWS\\system32\\drivers\\k440mdm.sys to the restart: failed (error 5)", nullptr, false},
    {"key that stays", OS_WINXP, stuck_key, RESULT_PARTIAL_REMOVAL,
     "delete key SYSTEM\\CurrentControlSet\\Services\\k440mdm: failed (error 5), left in "
     "place", nullptr, false},
    {"value that stays", OS_WIN98_SE, stuck_value, RESULT_PARTIAL_REMOVAL,
     "delete value Software\\Halvenor\\Values\\OEM0: failed (error 5), left in place", nullptr, false},
    {"device that cannot be removed", OS_WINXP, wow64_device, RESULT_PARTIAL_REMOVAL,
     "remove device USB\\VID_FFFF&PID_0001\\7: failed (error 0xE0000235)", nullptr, false},
    {"listed file not there", OS_WINXP, missing_file, RESULT_SUCCESS,
     "delete file C:\\WINDOWS\\system32\\drivers\\k440gone.sys: not there", nullptr, false},
};

class PartialRemovalTable : public PartialRemoval, public ::testing::WithParamInterface<Obstacle> {};

TEST_P(PartialRemovalTable, EndsAsTheTableSays) {
    const Obstacle &c = GetParam();
    use_os(c.os_class);
    record.os_class = c.os_class;
    c.plant(*this, machine, record);
    EXPECT_EQ(c.result, run_removal(&record)) << log();
    EXPECT_NE(std::string::npos, log().find(c.log_line)) << log();
    EXPECT_NE(std::string::npos,
              log().find(c.result ? "item(s) left in place\r\n" : "removal: complete\r\n"));
    if (c.reinstalled) machine.files.write_file(c.reinstalled, "reinstalled");
    sim::carry_out_restart(machine);
    if (c.reinstalled) {
        EXPECT_EQ(c.reinstall_survives, machine.files.exists(c.reinstalled)) << "after the restart";
    }
    for (const std::string &path : machine.files.list_all())
        EXPECT_EQ(std::string::npos, path.find("_del")) << "left under a name of the run's own";
}

INSTANTIATE_TEST_SUITE_P(Obstacles, PartialRemovalTable, ::testing::ValuesIn(kObstacles),
                         [](const ::testing::TestParamInfo<Obstacle> &info) {
                             std::string name;
                             for (const char *c = info.param.name; *c; ++c)
                                 if (isalnum((unsigned char)*c)) name += *c;
                             return name;
                         });

TEST_F(PartialRemoval, ListedFileInUseIsHandedToTheRestartAndAsksForIt) {
    busy_file(*this, machine, record);
    EXPECT_EQ(RESULT_SUCCESS, run_removal(&record));
    EXPECT_TRUE(machine.files.exists(kBusyAside)) << "in use until the restart, set aside";
    EXPECT_TRUE(pending(kBusyAside));
    EXPECT_EQ(1, record.restart_needed);
}

TEST_F(PartialRemoval, DeviceThatStaysIsNamedAfterTheRemoval) {
    wow64_device(*this, machine, record);
    EXPECT_EQ(RESULT_PARTIAL_REMOVAL, run_removal(&record));
    EXPECT_NE(std::string::npos,
              log().find("left in place: device USB\\VID_FFFF&PID_0001\\7 "
                         "(USB\\VID_FFFF&PID_0001&REV_0100)\r\n"));
}

}  // namespace
