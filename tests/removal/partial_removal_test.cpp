// What the removal leaves behind: listed files in use go to the restart; a device, key, value
// or file that stays and is not handed over makes the run a partial removal (15); each outcome
// is a line of the run log.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "base/os_class.h"
#include "base/result_codes.h"
#include "base/run_log.h"
#include "removal/removal_plan.h"
#include "removal/run_removal.h"
#include "sim/restart_model.h"
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
    const char *plan_line;  // a line the dry run's plan must hold, written first
    std::function<void(sim::Machine &)> after;  // the machine's state after the run
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

// Windows' rules for a service and a co-installer of the driver set: what names them is
// edited first, a running service goes at the restart.
const char kFilter[] = "SYSTEM\\CurrentControlSet\\Services\\K440dTmf";
const char kDiskClass[] = "System\\CurrentControlSet\\Control\\Class\\{4D36E967-E325-11CE-BFC1-08002BE10318}";
const char kCoInstallers[] = "System\\CurrentControlSet\\Control\\CoDeviceInstallers";
const char kCoInstaller[] = "C:\\WINDOWS\\system32\\K440dTIN.dll";
const char kDisk[] = "USBSTOR\\DISK&VEN_OTHER\\1";
const char kSecondService[] = "SYSTEM\\CurrentControlSet\\Services\\K440dTuc";

std::vector<uint8_t> names(const std::string &list) { return {list.begin(), list.end()}; }

void filter_service(sim::Machine &m, run_record &r) {
    m.registry.set_dword(kFilter, "Type", 1);
    m.registry.set_string(kFilter, "ImagePath", "System32\\DRIVERS\\K440dTmf.sys");
    push_string(&r.keys_to_delete, kFilter);
}

void class_filters(const std::string &value, const std::string &list, sim::Machine &m, run_record &r) {
    filter_service(m, r);
    m.registry.set_value(kDiskClass, value, REG_MULTI_SZ, names(list));
}

void filter_among_others(PartialRemoval &, sim::Machine &m, run_record &r) {
    class_filters("UpperFilters", std::string("PartMgr\0K440dTmf\0Snap\0\0", 23), m, r);
}

void only_filter(PartialRemoval &, sim::Machine &m, run_record &r) {
    class_filters("LowerFilters", std::string("k440DTMF\0\0", 10), m, r);
}

void device_filter(PartialRemoval &, sim::Machine &m, run_record &r) {
    filter_service(m, r);
    plant_device_with_driver(m, kDisk, {"USBSTOR\\DiskOther"}, "{4D36E967-E325-11CE-BFC1-08002BE10318}",
                             "0001", DriverKeyPlan{});
    m.registry.set_value(std::string("System\\CurrentControlSet\\Enum\\") + kDisk, "UpperFilters",
                         REG_MULTI_SZ, names(std::string("K440dTmf\0Other\0\0", 16)));
}

// The inventory's walk noted the device with a list of its own: it alone is reopened.
void device_filter_listed(PartialRemoval &p, sim::Machine &m, run_record &r) {
    device_filter(p, m, r);
    r.devices_listed = 1;
    push_string(&r.filtered_devices, kDisk);
}

void co_installer(PartialRemoval &, sim::Machine &m, run_record &r) {
    m.files.write_file(kCoInstaller, "dll");
    push_string(&r.files_to_delete, kCoInstaller);
    m.registry.set_value(kCoInstallers, "{4D36E96D-E325-11CE-BFC1-08002BE10318}", REG_MULTI_SZ,
                         names(std::string("K440dTIN.dll,CoInstall\0ks.dll\0\0", 31)));
}

void running_service(PartialRemoval &, sim::Machine &m, run_record &r) {
    filter_service(m, r);
    m.running_services.insert("k440dtmf");
}

// Both keys are registered services: one connection to the service manager serves them.
void two_services(PartialRemoval &, sim::Machine &m, run_record &r) {
    filter_service(m, r);
    m.registry.set_dword(kSecondService, "Type", 1);
    push_string(&r.keys_to_delete, kSecondService);
}

void filter_edit_refused(PartialRemoval &p, sim::Machine &m, run_record &r) {
    filter_among_others(p, m, r);
    m.faults.push_back(sim::Fault{"RegSetValueExA", "{4D36E967", ERROR_ACCESS_DENIED});
}

std::string value_of(sim::Machine &m, const std::string &key, const char *name) {
    sim::RegKey *k = m.registry.find(key);
    sim::RegValue *v = k ? k->value(name) : nullptr;
    return v ? std::string(v->data.begin(), v->data.end()) : "(none)";
}

const Obstacle kObstacles[] = {
    {"file in use, NT", OS_WINXP, busy_file, RESULT_SUCCESS,
     "hand C:\\WINDOWS\\system32\\drivers\\k440mdm.sys to the restart: renamed to "
     "C:\\WINDOWS\\system32\\drivers\\K440dT_del0.tmp, done", kBusy, true, nullptr, nullptr},
    {"running program, NT", OS_WINXP, running_program, RESULT_SUCCESS,
     "hand C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe to the restart: renamed to "
     "C:\\Program Files\\halvenor\\K440dT\\K440dT_del0.tmp, done", kProgram, true, nullptr, nullptr},
    {"file in use that cannot be renamed, NT", OS_WINXP, busy_file_not_renamed, RESULT_SUCCESS,
     "hand C:\\WINDOWS\\system32\\drivers\\k440mdm.sys to the restart: done", kBusy, false, nullptr, nullptr},
    {"set-aside file that the restart refuses", OS_WINXP, busy_file_aside_refused,
     RESULT_PARTIAL_REMOVAL,
     "hand C:\\WINDOWS\\system32\\drivers\\k440mdm.sys to the restart: renamed to "
     "C:\\WINDOWS\\system32\\drivers\\K440dT_del0.tmp, failed (error 5), renamed back", nullptr, false, nullptr, nullptr},
    {"file in use whose set-aside name would not fit, NT", OS_WINXP, deep_busy_file,
     RESULT_SUCCESS, "a.sys to the restart: done", nullptr, false, nullptr, nullptr},
    {"file in use, 98 SE", OS_WIN98_SE, busy_file, RESULT_SUCCESS,
     "hand C:\\WINDOWS\\system32\\drivers\\k440mdm.sys to the restart: wininit.ini line", nullptr, false, nullptr, nullptr},
    {"file in use that the restart refuses", OS_WINXP, busy_file_not_handed,
     RESULT_PARTIAL_REMOVAL,
     "hand C:\\WINDOWS\\system32\\drivers\\k440mdm.sys to the restart: failed (error 5)", nullptr, false, nullptr, nullptr},
    {"key that stays", OS_WINXP, stuck_key, RESULT_PARTIAL_REMOVAL,
     "delete key SYSTEM\\CurrentControlSet\\Services\\k440mdm: failed (error 5), left in "
     "place", nullptr, false, nullptr, nullptr},
    {"value that stays", OS_WIN98_SE, stuck_value, RESULT_PARTIAL_REMOVAL,
     "delete value Software\\Halvenor\\Values\\OEM0: failed (error 5), left in place", nullptr, false, nullptr, nullptr},
    {"device that cannot be removed", OS_WINXP, wow64_device, RESULT_PARTIAL_REMOVAL,
     "remove device USB\\VID_FFFF&PID_0001\\7: failed (error 0xE0000235)", nullptr, false, nullptr, nullptr},
    {"listed file not there", OS_WINXP, missing_file, RESULT_SUCCESS,
     "delete file C:\\WINDOWS\\system32\\drivers\\k440gone.sys: not there", nullptr, false, nullptr, nullptr},
    {"class filter among others", OS_WINXP, filter_among_others, RESULT_SUCCESS,
     "delete key SYSTEM\\CurrentControlSet\\Services\\K440dTmf: removed", nullptr, false,
     "plan: take K440dTmf out of value System\\CurrentControlSet\\Control\\Class\\"
     "{4D36E967-E325-11CE-BFC1-08002BE10318}\\UpperFilters",
     [](sim::Machine &m) {
         EXPECT_EQ(std::string("PartMgr\0Snap\0\0", 14), value_of(m, kDiskClass, "UpperFilters"));
         EXPECT_EQ(nullptr, m.registry.find(kFilter));
     }},
    {"the only class filter", OS_WINXP, only_filter, RESULT_SUCCESS,
     "LowerFilters: took out K440dTmf, no entry left, value deleted", nullptr, false, nullptr,
     [](sim::Machine &m) { EXPECT_EQ("(none)", value_of(m, kDiskClass, "LowerFilters")); }},
    {"device filter", OS_WINXP, device_filter, RESULT_SUCCESS,
     "edit device USBSTOR\\DISK&VEN_OTHER\\1 UpperFilters: took out K440dTmf", nullptr, false,
     "plan: take K440dTmf out of the UpperFilters of device USBSTOR\\DISK&VEN_OTHER\\1",
     [](sim::Machine &m) {
         EXPECT_EQ(std::string("Other\0\0", 7),
                   value_of(m, std::string("System\\CurrentControlSet\\Enum\\") + kDisk, "UpperFilters"));
     }},
    {"device filter the inventory noted", OS_WINXP, device_filter_listed, RESULT_SUCCESS,
     "edit device USBSTOR\\DISK&VEN_OTHER\\1 UpperFilters: took out K440dTmf", nullptr, false,
     nullptr,
     [](sim::Machine &m) {
         EXPECT_EQ(std::string("Other\0\0", 7),
                   value_of(m, std::string("System\\CurrentControlSet\\Enum\\") + kDisk, "UpperFilters"));
         for (const sim::Call &c : m.calls_to("SetupDiGetClassDevsA"))
             EXPECT_NE(0u, c.detail.find("(null) (null) ")) << "no second list of every device";
     }},
    {"co-installer", OS_WINXP, co_installer, RESULT_SUCCESS,
     "delete file C:\\WINDOWS\\system32\\K440dTIN.dll: removed", nullptr, false,
     "plan: take K440dTIN.dll out of value System\\CurrentControlSet\\Control\\"
     "CoDeviceInstallers\\{4D36E96D-E325-11CE-BFC1-08002BE10318}",
     [](sim::Machine &m) {
         EXPECT_EQ(std::string("ks.dll\0\0", 8),
                   value_of(m, kCoInstallers, "{4D36E96D-E325-11CE-BFC1-08002BE10318}"));
     }},
    {"running service", OS_WINXP, running_service, RESULT_SUCCESS,
     "delete key SYSTEM\\CurrentControlSet\\Services\\K440dTmf: failed (error 1072), handed to "
     "the restart", nullptr, false, nullptr,
     [](sim::Machine &m) {
         EXPECT_NE(nullptr, m.registry.find(kFilter)) << "the running driver's key stays";
         EXPECT_TRUE(m.calls_to("RegDeleteKeyA").empty()) << "and is never deleted as a key";
         sim::carry_out_restart(m);
         EXPECT_EQ(nullptr, m.registry.find(kFilter)) << "the restart takes it";
     }},
    {"two services", OS_WINXP, two_services, RESULT_SUCCESS,
     "delete key SYSTEM\\CurrentControlSet\\Services\\K440dTuc: removed", nullptr, false, nullptr,
     [](sim::Machine &m) {
         EXPECT_EQ(nullptr, m.registry.find(kFilter));
         EXPECT_EQ(1u, m.calls_to("OpenSCManagerA").size()) << "one connection for the run";
     }},
    {"filter list that refuses the edit", OS_WINXP, filter_edit_refused, RESULT_PARTIAL_REMOVAL,
     "UpperFilters: failed (error 5), still names K440dTmf", nullptr, false, nullptr,
     [](sim::Machine &m) { EXPECT_NE(nullptr, m.registry.find(kFilter)) << "the service stays"; }},
};

class PartialRemovalTable : public PartialRemoval, public ::testing::WithParamInterface<Obstacle> {};

TEST_P(PartialRemovalTable, EndsAsTheTableSays) {
    const Obstacle &c = GetParam();
    use_os(c.os_class);
    record.os_class = c.os_class;
    c.plant(*this, machine, record);
    if (c.plan_line) {
        std::string before = registry_snapshot();
        write_removal_plan(&record);
        EXPECT_NE(std::string::npos, log().find(c.plan_line)) << log();
        EXPECT_EQ(before, registry_snapshot()) << "the plan changes nothing";
    }
    EXPECT_EQ(c.result, run_removal(&record)) << log();
    EXPECT_NE(std::string::npos, log().find(c.log_line)) << log();
    EXPECT_NE(std::string::npos,
              log().find(c.result ? "item(s) left in place\r\n" : "removal: complete\r\n"));
    if (c.after) c.after(machine);
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
