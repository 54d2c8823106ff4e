// The simulated SetupUninstallOEMInfA and its export: what the platform documents for OEM INF
// copies, their catalogs and driver-store packages.
#include <gtest/gtest.h>

#include "base/os_class.h"
#include "sim/driver_store.h"
#include "support/device_machine.h"
#include "support/sim_test.h"

namespace {

std::string catalog_inf(const char *catalog) {
    return inf_text(nullptr, "USB\\VID_FFFF&PID_0001", "$Windows NT$", catalog);
}

class DriverStoreSim : public SimTest {};

TEST_F(DriverStoreSim, OnlyXpAndLaterExportTheCall) {
    const struct { int os_class; bool exported; } table[] = {
        {OS_WIN98, false}, {OS_WIN98_SE, false}, {OS_WINME, false}, {OS_WIN2000, false},
        {OS_WINXP, true},  {OS_WIN2003, true},   {OS_LATER_NT, true}};
    for (const auto &row : table) {
        use_os(row.os_class);
        HMODULE setupapi = LoadLibraryA("SETUPAPI.DLL");
        ASSERT_NE(nullptr, setupapi) << "every served Windows has setupapi.dll";
        EXPECT_EQ(row.exported, GetProcAddress(setupapi, "SetupUninstallOEMInfA") != nullptr)
            << "OS class " << row.os_class;
        EXPECT_EQ(nullptr, GetProcAddress(setupapi, "setupuninstalloeminfa")) << "names are exact";
        EXPECT_EQ(nullptr, GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetupUninstallOEMInfA"));
        EXPECT_TRUE(FreeLibrary(setupapi));
    }
    EXPECT_EQ(nullptr, GetModuleHandleA("setupapi.dll")) << "loaded only while the program holds it";
}

class DriverStoreSimOnSystem : public SimTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(GetParam());
        package = sim::plant_driver_package(machine, "oem12.inf", "k440dtuc.inf", catalog_inf("k440dtuc.cat"));
        other = sim::plant_driver_package(machine, "oem13.inf", "other.inf", catalog_inf("other.cat"));
    }
    std::vector<std::string> paths(const sim::PlantedPackage &p) {
        std::vector<std::string> out = {p.inf_path, p.pnf_path, p.catalog_path};
        if (GetParam() >= OS_LATER_NT) out.push_back(p.store_folder);
        return out;
    }
    sim::PlantedPackage package, other;
};

TEST_P(DriverStoreSimOnSystem, RemovesCopyPnfCatalogAndStorePackage) {
    EXPECT_EQ(GetParam() >= OS_LATER_NT, !package.store_folder.empty());
    ASSERT_TRUE(SetupUninstallOEMInfA("OEM12.INF", 0, nullptr));
    for (const std::string &p : paths(package)) EXPECT_FALSE(machine.files.exists(p)) << p;
    for (const std::string &p : paths(other)) EXPECT_TRUE(machine.files.exists(p)) << p << " is another package's";
}

TEST_P(DriverStoreSimOnSystem, RefusesWhileAnInstalledDeviceUsesTheInf) {
    sim::Device &d = plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\1", {"USB\\VID_FFFF&PID_0001"},
                                              MODEM_CLASS, "0001", DriverKeyPlan{"oem12.inf", "Halvenor", false});
    EXPECT_FALSE(SetupUninstallOEMInfA("oem12.inf", 0, nullptr)) << "a device that is not attached counts";
    EXPECT_EQ(ERROR_INF_IN_USE_BY_DEVICES, GetLastError());
    for (const std::string &p : paths(package)) EXPECT_TRUE(machine.files.exists(p)) << p;
    sim::remove_device_instance(machine, d);
    EXPECT_TRUE(SetupUninstallOEMInfA("oem12.inf", 0, nullptr)) << "the device is gone";
}

INSTANTIATE_TEST_SUITE_P(Systems, DriverStoreSimOnSystem, ::testing::Values(OS_WINXP, OS_LATER_NT));

}  // namespace
