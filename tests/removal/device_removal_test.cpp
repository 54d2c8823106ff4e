// Device removal on the NT family: attached handsets disabled first, then every matching
// device instance removed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "base/result_codes.h"
#include "inventory/oem_inf_discovery.h"
#include "removal/device_removal.h"
#include "removal/removal_check.h"
#include "support/device_machine.h"
#include "support/sim_test.h"

namespace {

class DeviceRemovalTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        record = new_record();
        use_builtin_ids(&record);
        std::strcpy(record.windows_dir, "C:\\WINDOWS");
    }
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    sim::Device &handset(const std::string &serial, bool attached, const char *number = "") {
        sim::Device &d = plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\" + serial,
                                                  {"USB\\VID_FFFF&PID_0001&REV_0100"}, MODEM_CLASS, number,
                                                  DriverKeyPlan{"oem12.inf", "Halvenor", false}, attached);
        add_product_interface(d);
        return d;
    }
    // Lists of every device of the machine (no class, no enumerator).
    int full_device_lists() {
        int n = 0;
        for (const sim::Call &c : machine.calls_to("SetupDiGetClassDevsA"))
            if (c.detail.find("(null) (null) ") == 0) ++n;
        return n;
    }
    int class_installer_calls(const char *function) {
        int n = 0;
        for (const sim::Call &c : machine.calls_to("SetupDiCallClassInstaller"))
            if (c.detail.find(function) == 0) ++n;
        return n;
    }
    run_record record;
};

TEST_F(DeviceRemovalTest, NoHandsetAttachedDisablesNothing) {
    handset("1", false);
    EXPECT_EQ(1, disable_interface_devices(&record));
    EXPECT_EQ(0, class_installer_calls("DIF_PROPERTYCHANGE"));
    EXPECT_EQ(0, record.restart_needed);
}

TEST_F(DeviceRemovalTest, EveryAttachedHandsetIsTriedAndOneRefusalFailsThePass) {
    handset("1", true);
    handset("2", true).refuse_disable = true;
    EXPECT_EQ(0, disable_interface_devices(&record)) << "the second handset refused";
    EXPECT_EQ(2, class_installer_calls("DIF_PROPERTYCHANGE")) << "both were tried";
    EXPECT_TRUE(machine.devices.find("USB\\VID_FFFF&PID_0001\\1")->disabled);
    EXPECT_EQ(2, machine.devices.live_count()) << "no device was removed";
}

TEST_F(DeviceRemovalTest, DisablingRecordsARestartRequest) {
    handset("1", true).install_flags_after_call = DI_NEEDRESTART;
    handset("2", true).refuse_disable = true;
    EXPECT_EQ(0, disable_interface_devices(&record));
    EXPECT_EQ(1, record.restart_needed) << "recorded even though a later device failed";
}

TEST_F(DeviceRemovalTest, AMalformedProductGuidEnumeratesNothing) {
    handset("1", true);
    product_profile broken = profile;
    broken.product_guid = "{5A0C31E2-7D44-4F19-9B6E}";
    record.profile = &broken;
    EXPECT_EQ(0, disable_interface_devices(&record)) << "without a class no handset can be disabled first";
    EXPECT_TRUE(machine.calls_to("SetupDiGetClassDevsA").empty());
}

TEST_F(DeviceRemovalTest, AListThatCannotBeBuiltFailsBothPasses) {
    machine.devices.class_devs_fail = true;
    EXPECT_EQ(0, disable_interface_devices(&record));
    EXPECT_EQ(0, remove_matching_devices(&record));
}

TEST_F(DeviceRemovalTest, MatchingDevicesOfEveryClassAreRemoved) {
    handset("1", false, "0001");
    plant_device_with_driver(machine, "ROOT\\PORTS\\0000", {"ROOT\\K440dTCR"}, PORTS_CLASS, "0002",
                             DriverKeyPlan{"oem13.inf", "Halvenor", false});
    plant_device_with_driver(machine, "HID\\VID_FFFF&PID_0001\\5", {"HID\\VID_FFFF&PID_0001"},
                             "{745A17A0-74D3-11D0-B6FE-00A0C90F57DA}", "", DriverKeyPlan{});
    plant_device_with_driver(machine, "USB\\VID_1234&PID_0001\\1", {"USB\\VID_1234&PID_0001", "USB\\VID_FFFF&PID_0001"},
                             MODEM_CLASS, "0003", DriverKeyPlan{"oem14.inf", "Other", false});
    EXPECT_EQ(1, remove_matching_devices(&record));
    EXPECT_EQ(1, machine.devices.live_count()) << "only the other vendor's device is left";
    EXPECT_NE(nullptr, machine.devices.find("USB\\VID_1234&PID_0001\\1"));
    EXPECT_NE(nullptr, machine.registry.find(std::string(sim::CLASS_ROOT) + "\\" + MODEM_CLASS + "\\0003"))
        << "the other vendor's driver key stays";
    EXPECT_EQ(0, record.restart_needed);
}

TEST_F(DeviceRemovalTest, ARemovalFinishedAtRestartIsRecorded) {
    handset("1", false).install_flags_after_call = DI_NEEDREBOOT;
    EXPECT_EQ(1, remove_matching_devices(&record));
    EXPECT_EQ(1, record.restart_needed);
}

TEST_F(DeviceRemovalTest, ARefusedRemovalIsCountedAndTheOthersGoOn) {
    handset("1", false).refuse_remove = true;
    handset("2", false);
    EXPECT_EQ(0, remove_matching_devices(&record));
    EXPECT_EQ(1, machine.devices.live_count());
    EXPECT_NE(nullptr, machine.devices.find("USB\\VID_FFFF&PID_0001\\1"));
}

TEST_F(DeviceRemovalTest, UnreadableHardwareIdsAreSkippedNotCounted) {
    handset("1", false);
    machine.faults.push_back(sim::Fault{"SetupDiGetDeviceRegistryPropertyA", "\\1 0x1", ERROR_INVALID_DATA});
    EXPECT_EQ(1, remove_matching_devices(&record));
    EXPECT_EQ(1, machine.devices.live_count());
}

TEST_F(DeviceRemovalTest, EmptyListsMatchNothing) {
    handset("1", false);
    free_run_lists(&record);
    EXPECT_EQ(1, remove_matching_devices(&record));
    EXPECT_EQ(0, class_installer_calls("DIF_REMOVE"));
}

TEST_F(DeviceRemovalTest, ADetachedHandsetIsRemovedAndItsInfFound) {
    handset("1", false, "0001");
    plant_inf(machine, "oem12.inf", inf_text("uninstallable", "USB\\VID_FFFF&PID_0001"));
    ASSERT_EQ(1, discover_oem_infs(&record));
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\inf\\oem12.pnf", "C:\\WINDOWS\\inf\\oem12.inf"}),
              texts_of(record.files_to_delete));
    ASSERT_EQ(1, disable_interface_devices(&record));
    EXPECT_EQ(1, remove_matching_devices(&record));
    EXPECT_EQ(0, machine.devices.live_count());
    EXPECT_EQ(nullptr, machine.registry.find("System\\CurrentControlSet\\Enum\\USB\\VID_FFFF&PID_0001"))
        << "the device key goes with its last instance";
    EXPECT_NE(nullptr, machine.registry.find("System\\CurrentControlSet\\Enum\\USB"))
        << "the enumerator's key stays";
    EXPECT_EQ(nullptr, machine.registry.find(std::string(sim::CLASS_ROOT) + "\\" + MODEM_CLASS + "\\0001"));
}

TEST_F(DeviceRemovalTest, AnAttachedHandsetEndsTheRunWith14AndChangesNothing) {
    handset("1", true, "0001");
    plant_inf(machine, "oem12.inf", inf_text("uninstallable", "USB\\VID_FFFF&PID_0001"));
    std::string registry_before = registry_snapshot();
    std::string files_before = files_snapshot();
    EXPECT_EQ(RESULT_HANDSET_ATTACHED, run("-quiet"));
    EXPECT_EQ(registry_before, registry_snapshot()) << "the registry is unchanged";
    EXPECT_EQ(files_before, files_snapshot()) << "the files are unchanged";
    EXPECT_EQ(0, class_installer_calls("DIF_"));
}

}  // namespace

namespace {

// The machine of the end-to-end case, planted in the simulation: the same device tree read
// back from "Enum" as Wine reads it, so that both platforms are held to one fixture.
class NtDevicesFixtureTest : public DeviceRemovalTest {
  protected:
    void SetUp() override {
        DeviceRemovalTest::SetUp();
        std::string error;
        ASSERT_TRUE(sim::load_machine(machine, std::string(K440_SOURCE_DIR) + "/e2e/fixtures/nt-devices", &error))
            << error;
        ASSERT_EQ(4, sim::load_devices_from_enum(machine));
    }
};

TEST_F(NtDevicesFixtureTest, TheProductsDevicesAndInfsGoAndNothingElse) {
    ASSERT_EQ(1, discover_oem_infs(&record));
    std::vector<std::string> found = texts_of(record.files_to_delete);
    std::sort(found.begin(), found.end());
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\inf\\oem7.inf", "C:\\WINDOWS\\inf\\oem7.pnf",
                                        "C:\\WINDOWS\\inf\\oem8.inf", "C:\\WINDOWS\\inf\\oem8.pnf"}),
              found)
        << "oem7 by its marker (despite Microsoft), oem8 by provider and name; mdmgen.inf is Microsoft's";
    ASSERT_EQ(1, disable_interface_devices(&record));
    EXPECT_EQ(1, remove_matching_devices(&record));
    EXPECT_EQ(1, machine.devices.live_count());
    EXPECT_NE(nullptr, machine.devices.find("USB\\VID_1234&PID_5678\\5&77aa&0&1"));
    const std::string classes = std::string(sim::CLASS_ROOT) + "\\";
    EXPECT_EQ(nullptr, machine.registry.find(classes + MODEM_CLASS + "\\0001"))
        << "Windows deletes the software key whole, marker included (Wine keeps it)";
    EXPECT_EQ(nullptr, machine.registry.find(classes + PORTS_CLASS + "\\0004"));
    EXPECT_NE(nullptr, machine.registry.find(classes + MODEM_CLASS + "\\0002"));
    EXPECT_EQ(0, devices_left(&record));
    EXPECT_EQ(1, full_device_lists()) << "the removal and its check reopen what the inventory listed";
}

}  // namespace

namespace {

// The removal works on the instances the inventory listed, reopened by instance id.
class ListedDevicesTest : public DeviceRemovalTest {
  protected:
    void SetUp() override {
        DeviceRemovalTest::SetUp();
        handset("1", false, "0001");
        ASSERT_EQ(1, discover_oem_infs(&record));
        ASSERT_EQ(1, record.devices_listed);
    }
};

TEST_F(ListedDevicesTest, AHandsetPluggedInAfterTheInventoryIsDisabledAndRemovedToo) {
    handset("2", true, "0002");
    ASSERT_EQ(1, disable_interface_devices(&record));
    EXPECT_EQ(1, remove_matching_devices(&record));
    EXPECT_EQ(0, machine.devices.live_count());
    EXPECT_EQ(1, full_device_lists());
}

TEST_F(ListedDevicesTest, AnInstanceThatNoLongerMatchesIsKept) {
    machine.devices.find("USB\\VID_FFFF&PID_0001\\1")->hardware_ids = {"USB\\VID_1234&PID_0001"};
    EXPECT_EQ(1, remove_matching_devices(&record));
    EXPECT_EQ(1, machine.devices.live_count()) << "matched by its hardware id again before removal";
}

TEST_F(ListedDevicesTest, AnInstanceGoneMeanwhileIsNoFailure) {
    sim::remove_device_instance(machine, *machine.devices.find("USB\\VID_FFFF&PID_0001\\1"));
    EXPECT_EQ(1, remove_matching_devices(&record));
    EXPECT_EQ(0, devices_left(&record));
}

TEST_F(ListedDevicesTest, AnInstanceThatCannotBeReopenedIsAFailureAndLeftInPlace) {
    machine.faults.push_back(sim::Fault{"SetupDiOpenDeviceInfoA", "\\1", ERROR_ACCESS_DENIED});
    EXPECT_EQ(0, remove_matching_devices(&record));
    EXPECT_EQ(1, machine.devices.live_count());
    EXPECT_EQ(1, devices_left(&record)) << "counted, never taken for gone";
}

}  // namespace
