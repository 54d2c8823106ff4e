// A setupapi.dll that lacks a function, or no setupapi.dll at all: the program finds SetupAPI
// at run time, so it still runs; each caller takes its route for a failed call, the log names
// what was missing, and the run removes nothing that a complete run would not.
#include <cctype>
#include <string>
#include <vector>

#include "base/os_class.h"
#include "sim/device_tree.h"
#include "sim/snapshot_lines.h"
#include "support/sim_test.h"

namespace {

const char kLog[] = "C:\\run.log";
const char kCommand[] = "-quiet -log_file:C:\\run.log";
const char kModem[] = "USB\\VID_FFFF&PID_0001&MI_00\\6&2f3a1b&0&0000";
const char kOem8[] = "C:\\windows\\inf\\oem8.inf";

struct MissingCase {
    const char *missing;  // an export of setupapi.dll, or "setupapi.dll" itself
    int os_class;
    bool inf_scan;        // the device list fails, so OEM INFs are found by reading the INF folder
    int result;
    const char *route;    // the caller's route, as the log tells it
    bool modem_stays;     // the product's modem device is still installed after the run
    const char *stays;    // a file of the driver set that the run leaves, or none
    bool complete;        // the run removes all that a run with the whole DLL removes
};

void PrintTo(const MissingCase &c, std::ostream *out) { *out << c.missing << " " << c.os_class; }

const MissingCase kCases[] = {
    {"setupapi.dll", OS_WINXP, false, 2,
     "remove devices: skipped, an attached handset could not be disabled", true, kOem8, false},
    {"SetupDiGetClassDevsA", OS_WINXP, false, 15,
     "found file C:\\WINDOWS\\inf\\oem8.inf (an INF file of the INF folder", true, kOem8, false},
    {"SetupDiDestroyDeviceInfoList", OS_WINXP, false, 15,
     "found file C:\\WINDOWS\\inf\\oem8.inf (an INF file of the INF folder", true, kOem8, false},
    {"SetupDiOpenDeviceInfoA", OS_WINXP, false, 15,
     "left in place: device USB\\VID_FFFF&PID_0001&MI_00\\6&2f3a1b&0&0000 (could not be opened)",
     true, nullptr, false},
    {"SetupDiGetDeviceInstanceIdA", OS_WINXP, false, 2,
     "remove device (instance id unknown): removed", false, nullptr, true},
    {"SetupDiCallClassInstaller", OS_WINXP, false, 15,
     "remove device USB\\VID_FFFF&PID_0001&MI_00\\6&2f3a1b&0&0000: failed (error 127)", true,
     nullptr, false},
    {"SetupDiOpenClassRegKeyExA", OS_WINXP, false, 2,
     "remove device USB\\VID_FFFF&PID_0001&MI_00\\6&2f3a1b&0&0000: removed", false, kOem8, false},
    {"SetupOpenInfFileA", OS_WINXP, true, 2, "remove devices: skipped", true, kOem8, false},
    {"SetupUninstallOEMInfA", OS_WINXP, false, 2,
     "uninstall driver package C:\\WINDOWS\\inf\\oem8.inf: no such call here, deleted as a file",
     false, nullptr, true},
    {"setupapi.dll", OS_WIN98_SE, false, 2, "removal: complete", false, nullptr, true},
};

class MissingSetupapi : public SimTest, public ::testing::WithParamInterface<MissingCase> {
  protected:
    // The machine of every case: the driver set with the handset's devices among look-alikes.
    void plant(sim::Machine &m) {
        m.set_os_class(GetParam().os_class);
        m.files.make_dir("C:\\WINDOWS\\system32\\drivers");
        m.files.make_dir("C:\\WINDOWS\\inf");
        m.registry.create("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
        m.registry.create("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
        m.registry.create("System\\CurrentControlSet\\Services");
        const bool nt = GetParam().os_class >= OS_WIN2000;
        std::vector<std::string> fixtures = {"tests/fixtures/legacy-driver-set"};
        if (nt) fixtures = {"tests/fixtures/nt-driver-set", "e2e/fixtures/nt-devices"};
        for (const std::string &f : fixtures) {
            std::string error;
            EXPECT_TRUE(sim::load_machine(m, std::string(K440_SOURCE_DIR) + "/" + f, &error)) << error;
        }
        sim::load_devices_from_enum(m);
        m.devices.class_devs_fail = GetParam().inf_scan;
    }

    // Every registry and file line that a quiet run on the machine with all of setupapi.dll
    // removes.
    line_set complete_run_removals() {
        sim::Machine m;
        sim::Process p;
        p.machine = &m;
        sim::ProcessScope scope(p);
        plant(m);
        line_set registry_before = registry_lines(sim::export_registry(m.registry));
        line_set files_before = file_lines(sim::export_files(m.files));
        // Without a device list no device is removed, and the INF they use stays with its package.
        EXPECT_EQ(GetParam().inf_scan ? 15 : 2, run_uninstaller(&profile, nullptr, kCommand));
        return removed_since(m, registry_before, files_before);
    }

    static line_set removed_since(const sim::Machine &m, const line_set &registry_before,
                                  const line_set &files_before) {
        line_set gone = minus(registry_before, registry_lines(sim::export_registry(m.registry)));
        line_set files_gone = minus(files_before, file_lines(sim::export_files(m.files)));
        gone.insert(files_gone.begin(), files_gone.end());
        return gone;
    }

    std::string log() const {
        const sim::FileNode *node = machine.files.find(kLog);
        return node ? node->content : "";
    }
};

TEST_P(MissingSetupapi, EachCallerTakesItsRouteAndNothingElseGoes) {
    const MissingCase &c = GetParam();
    const line_set complete = complete_run_removals();
    plant(machine);
    machine.missing_exports.insert(c.missing);
    const line_set registry_before = registry_lines(registry_snapshot());
    const line_set files_before = file_lines(files_snapshot());
    EXPECT_EQ(c.result, run(kCommand)) << log();

    std::string missing = std::string(c.missing) == "setupapi.dll"
                              ? "load setupapi.dll for SetupDiGetClassDevsA: failed (error 126)"
                              : "find " + std::string(c.missing) + " in setupapi.dll: not there";
    EXPECT_NE(std::string::npos, log().find(missing)) << log();
    EXPECT_NE(std::string::npos, log().find(c.route)) << log();
    if (c.os_class >= OS_WIN2000) {
        EXPECT_EQ(c.modem_stays, machine.devices.find(kModem) != nullptr) << log();
    }
    if (c.stays) {
        EXPECT_TRUE(machine.files.exists(c.stays)) << log();
    }
    line_set gone = removed_since(machine, registry_before, files_before);
    EXPECT_EQ("", joined(minus(gone, complete))) << "removed, though a complete run keeps it";
    if (c.complete) {
        EXPECT_EQ("", joined(minus(complete, gone))) << "kept, though a complete run removes it";
    }
}

INSTANTIATE_TEST_SUITE_P(Functions, MissingSetupapi, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<MissingCase> &info) {
                             std::string name;
                             for (const char *c = info.param.missing; *c; ++c)
                                 if (isalnum((unsigned char)*c)) name += *c;
                             return name + "_" + std::to_string(info.param.os_class);
                         });

}  // namespace
