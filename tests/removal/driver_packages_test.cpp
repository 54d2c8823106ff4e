// Driver packages: which OEM INF copies go to the platform's uninstall, the route each takes,
// and what a whole quiet run leaves of the driver set's package on each Windows.
#include "removal/driver_packages.h"

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "base/os_class.h"
#include "removal/run_removal.h"
#include "sim/driver_store.h"
#include "support/device_machine.h"
#include "support/sim_test.h"

namespace {

const char *const kHandsetId = "USB\\VID_FFFF&PID_0001&REV_0100";

std::string package_inf(const char *hardware_id, const char *catalog) {
    return inf_text(nullptr, hardware_id, "$Windows NT$", catalog);
}

std::vector<std::string> uninstall_calls(const sim::Machine &machine) {
    std::vector<std::string> out;
    for (const sim::Call &c : machine.calls_to("SetupUninstallOEMInfA")) out.push_back(c.detail);
    return out;
}

struct WholeRunCase {
    int os_class;
    bool device_stays;  // its removal is refused, so it still uses the INF
    bool second_model;  // another handset model of the driver set, installed from the same INF
};

// Names the case in the test list.
void PrintTo(const WholeRunCase &c, std::ostream *out) {
    *out << "OsClass" << c.os_class << (c.device_stays ? "DeviceStays" : "") << (c.second_model ? "SecondModel" : "");
}

// An earlier version of the driver set, published as oem9.inf, that no device uses any more.
class DriverPackagesRun : public SimTest, public ::testing::WithParamInterface<WholeRunCase> {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(GetParam().os_class);
        plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\1", {kHandsetId}, MODEM_CLASS, "0001",
                                 DriverKeyPlan{"oem12.inf", "Halvenor", false})
            .refuse_remove = GetParam().device_stays;
        if (GetParam().second_model)
            plant_device_with_driver(machine, kSecondModel, {"USB\\VID_FFFF&PID_0002"}, MODEM_CLASS, "0003",
                                     DriverKeyPlan{"oem12.inf", "Halvenor", false});
        product = sim::plant_driver_package(machine, "oem12.inf", "k440dtuc.inf",
                                            package_inf(kHandsetId, "k440dtuc.cat"));
        older = sim::plant_driver_package(machine, "oem9.inf", "k440dtuc.inf",
                                          inf_text("uninstallable", kHandsetId, "$Windows NT$", "k440dtuc.cat"));
        plant_device_with_driver(machine, "USB\\VID_1234&PID_5678\\1", {"USB\\VID_1234&PID_5678"}, MODEM_CLASS,
                                 "0002", DriverKeyPlan{"oem13.inf", "Other Corp", false});
        other = sim::plant_driver_package(machine, "oem13.inf", "other.inf",
                                          package_inf("USB\\VID_1234&PID_5678", "other.cat"));
    }
    static constexpr const char *kSecondModel = "USB\\VID_FFFF&PID_0002\\1";
    sim::PlantedPackage product, older, other;
};

TEST_P(DriverPackagesRun, QuietRunLeavesWhatThisWindowsCannotTakeBack) {
    const WholeRunCase &c = GetParam();
    bool has_call = c.os_class >= OS_WINXP;
    bool in_use = has_call && (c.device_stays || c.second_model);
    bool finds_older = c.os_class >= OS_LATER_NT;
    // The plan can tell only another model's hold: the product's devices are to go first.
    ASSERT_EQ(0, run("-dry_run -quiet -log_file:C:\\plan.log"));
    EXPECT_EQ(has_call && c.second_model,
              machine.files.find("C:\\plan.log")->content.find("plan: keep driver package " + product.inf_path) !=
                  std::string::npos);
    // A device or package that stays makes the run a partial removal, which keeps its 15 over
    // the restart.
    ASSERT_EQ(c.device_stays || in_use ? 15 : 2, run("-quiet -log_file:C:\\run.log"))
        << "a quiet run that removed devices ends asking for a restart";
    std::string log = machine.files.find("C:\\run.log")->content;

    std::vector<std::string> calls;
    if (finds_older) calls.push_back("oem9.inf 0x0");
    if (has_call) calls.push_back("oem12.inf 0x0");
    EXPECT_EQ(calls, uninstall_calls(machine))
        << "one call without the force flag for each copy of the driver set, none for another INF";
    for (const std::string &p : {product.inf_path, product.pnf_path})
        EXPECT_EQ(in_use, machine.files.exists(p)) << p << ": a copy in use stays whole, else it goes";
    EXPECT_EQ(has_call && !in_use, !machine.files.exists(product.catalog_path))
        << "only the platform's uninstall takes the catalog, and not while a device uses the INF";
    if (c.os_class >= OS_LATER_NT) {
        EXPECT_EQ(!in_use, !machine.files.exists(product.store_folder))
            << "the store package goes unless a device still uses it";
    }
    if (in_use) {
        std::string holder = c.second_model ? kSecondModel : "USB\\VID_FFFF&PID_0001\\1";
        EXPECT_NE(std::string::npos,
                  log.find("uninstall driver package " + product.inf_path +
                           ": kept with its PNF and package, in use by 1 device(s): " + holder))
            << log;
    }
    for (const std::string &p : {older.inf_path, older.pnf_path, older.catalog_path, older.store_folder}) {
        if (!p.empty()) {
            EXPECT_EQ(finds_older, !machine.files.exists(p)) << p << ": found only from Vista on";
        }
    }
    for (const std::string &p : {other.inf_path, other.pnf_path, other.catalog_path})
        EXPECT_TRUE(machine.files.exists(p)) << p << " belongs to another device";
    if (!other.store_folder.empty()) {
        EXPECT_TRUE(machine.files.exists(other.store_folder)) << "another device's store package";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Systems, DriverPackagesRun,
    ::testing::Values(WholeRunCase{OS_WIN2000, false, false}, WholeRunCase{OS_WINXP, false, false},
                      WholeRunCase{OS_WIN2003, false, false}, WholeRunCase{OS_LATER_NT, false, false},
                      WholeRunCase{OS_WINXP, true, false}, WholeRunCase{OS_LATER_NT, true, false},
                      WholeRunCase{OS_LATER_NT, false, true}, WholeRunCase{OS_WIN2000, false, true}));

class DriverPackages : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(OS_LATER_NT);
        record = new_record();
        std::strcpy(record.windows_dir, "C:\\WINDOWS");
        package = sim::plant_driver_package(machine, "oem12.inf", "k440dtuc.inf",
                                            package_inf(kHandsetId, "k440dtuc.cat"));
    }
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    run_record record;
    sim::PlantedPackage package;
};

struct RouteCase {
    const char *name;
    const char *what;
    void (*arrange)(sim::Machine &, const sim::PlantedPackage &);
    bool with_call;
    int route;
    DWORD error;
    bool inf_stays, pnf_stays;
};

void PrintTo(const RouteCase &c, std::ostream *out) { *out << c.name; }

class OemInfRoute : public DriverPackages, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(OemInfRoute, EndsWithoutTheCopyUnlessItIsHeld) {
    const RouteCase &c = GetParam();
    c.arrange(machine, package);
    uninstall_oem_inf_function call = c.with_call ? find_uninstall_oem_inf(OS_LATER_NT) : 0;
    ASSERT_EQ(c.with_call, call != 0);
    oem_inf_outcome outcome = remove_oem_inf(call, package.inf_path.c_str());
    EXPECT_EQ(c.route, outcome.route) << c.what;
    EXPECT_EQ(c.error, outcome.error) << c.what;
    string_list_entry *restart_list = nullptr;
    EXPECT_EQ(0, delete_oem_inf_files(&outcome, package.inf_path.c_str(), &restart_list))
        << c.what << ": nothing left that is not accounted for";
    EXPECT_EQ(c.inf_stays, machine.files.exists(package.inf_path)) << c.what;
    EXPECT_EQ(c.pnf_stays, machine.files.exists(package.pnf_path)) << c.what;
    EXPECT_EQ(c.with_call && c.route != OEM_INF_ABSENT ? 1u : 0u, uninstall_calls(machine).size()) << c.what;
    free_string_list(restart_list);
}

void nothing(sim::Machine &, const sim::PlantedPackage &) {}
void device_uses_it(sim::Machine &m, const sim::PlantedPackage &) {
    plant_device_with_driver(m, "USB\\VID_FFFF&PID_0001\\1", {kHandsetId}, MODEM_CLASS, "0001",
                             DriverKeyPlan{"oem12.inf", "Halvenor", false});
}
void keeps_files(sim::Machine &m, const sim::PlantedPackage &) { m.oem_inf_uninstall_keeps_files = true; }
void refused(sim::Machine &m, const sim::PlantedPackage &) {
    m.faults.push_back(sim::Fault{"SetupUninstallOEMInfA", "oem12.inf", ERROR_ACCESS_DENIED});
}
void copy_gone(sim::Machine &m, const sim::PlantedPackage &p) { m.files.remove(p.inf_path); }
void kept_and_held(sim::Machine &m, const sim::PlantedPackage &p) {
    m.oem_inf_uninstall_keeps_files = true;
    m.files.find(p.inf_path)->in_use = true;
}

INSTANTIATE_TEST_SUITE_P(
    Routes, OemInfRoute,
    ::testing::Values(
        RouteCase{"Uninstalled", "nothing uses the INF", nothing, true, OEM_INF_UNINSTALLED, 0, false, false},
        RouteCase{"InUse", "a device that is not attached uses it", device_uses_it, true, OEM_INF_IN_USE,
                  ERROR_INF_IN_USE_BY_DEVICES, true, true},
        RouteCase{"Refused", "refused for another reason", refused, true, OEM_INF_REFUSED, ERROR_ACCESS_DENIED, false,
                  false},
        RouteCase{"Kept", "success that keeps the copy, as Wine's", keeps_files, true, OEM_INF_KEPT, 0, false, false},
        RouteCase{"NoCall", "no such call on this Windows", nothing, false, OEM_INF_NO_CALL, 0, false, false},
        RouteCase{"Absent", "the copy is gone already", copy_gone, true, OEM_INF_ABSENT, 0, false, false},
        RouteCase{"KeptAndHeld", "the copy is kept and held open: handed to the restart", kept_and_held, true,
                  OEM_INF_KEPT, 0, true, false}));

TEST_F(DriverPackages, OnlyTheDriverSetsOemCopiesAreHandedOverEachOnce) {
    machine.files.write_file("C:\\WINDOWS\\inf\\K440dTuc.inf", "not a copy the platform made");
    machine.files.write_file("C:\\Temp\\oem14.inf", "not in the INF directory");
    machine.files.write_file("C:\\WINDOWS\\inf\\oem15.inf.bak", "no INF");
    sim::plant_driver_package(machine, "oem13.inf", "other.inf", package_inf("USB\\VID_1234&PID_5678", "o.cat"));
    push_all(&record.files_to_delete,
             {"C:\\WINDOWS\\inf\\oem12.inf", "C:\\WINDOWS\\inf\\oem12.pnf", "C:\\WINDOWS\\inf\\OEM12.INF",
              "C:\\WINDOWS\\inf\\K440dTuc.inf", "C:\\Temp\\oem14.inf", "C:\\WINDOWS\\inf\\oem15.inf.bak"});
    string_list_entry *restart_list = nullptr;
    uninstall_driver_packages(&record, &restart_list);
    EXPECT_EQ(nullptr, restart_list);
    EXPECT_EQ((std::vector<std::string>{"OEM12.INF 0x0"}), uninstall_calls(machine))
        << "two devices from one INF queue it twice; the list reads newest first";
    for (const char *p : {"C:\\WINDOWS\\inf\\K440dTuc.inf", "C:\\Temp\\oem14.inf", "C:\\WINDOWS\\inf\\oem15.inf.bak",
                          "C:\\WINDOWS\\inf\\oem13.inf"})
        EXPECT_TRUE(machine.files.exists(p)) << p << " is left to the file step or to no one";
}

TEST_F(DriverPackages, NoLookUpBelowWindowsXp) {
    push_all(&record.files_to_delete, {"C:\\WINDOWS\\inf\\oem12.inf", "C:\\WINDOWS\\inf\\oem12.pnf"});
    for (int os_class : {OS_WIN98, OS_WIN98_SE, OS_WINME, OS_WIN2000}) {
        use_os(os_class);
        record.os_class = os_class;
        run_removal(&record);
        for (const sim::Call &c : machine.calls_to("GetProcAddress"))
            EXPECT_NE("SetupUninstallOEMInfA", c.detail) << "OS class " << os_class;
        EXPECT_TRUE(uninstall_calls(machine).empty()) << "OS class " << os_class;
    }
}

}  // namespace
