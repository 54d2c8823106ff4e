// The device enumeration and the presence check built on it.
#include <gtest/gtest.h>

#include "base/guid_text.h"
#include "prechecks/device_enumeration.h"
#include "prechecks/presence_check.h"
#include "support/device_machine.h"
#include "support/sim_test.h"

namespace {

class DeviceEnumerationTest : public SimTest {
  protected:
    // n attached handsets, each exposing the product's interface class.
    void plant_attached(int n) {
        for (int i = 0; i < n; ++i) {
            sim::Device &d = plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\" + std::to_string(i),
                                                      {"USB\\VID_FFFF&PID_0001"}, MODEM_CLASS, "", DriverKeyPlan{}, true);
            add_product_interface(d, "\\\\?\\usb#handset#" + std::to_string(i));
        }
    }
    GUID product() {
        GUID g;
        parse_guid_text(PRODUCT_GUID, &g);
        return g;
    }
};

TEST_F(DeviceEnumerationTest, SeventeenInterfacesGrowTheArrayOnce) {
    plant_attached(17);
    device_enumeration *record = nullptr;
    GUID g = product();
    ASSERT_EQ(1, enumerate_devices(&record, &g, 1, 0));
    EXPECT_EQ(17u, record->count);
    EXPECT_EQ(32u, record->capacity) << "grown from 16 when the sixteenth entry was filled";
    EXPECT_STREQ("\\\\?\\usb#handset#16", record->entries[16].detail->DevicePath);
    EXPECT_EQ((DWORD)sizeof(SP_DEVINFO_DATA), record->entries[16].device.cbSize);
    EXPECT_EQ(ENUMERATION_MODE_INTERFACES, record->mode);
    free_device_enumeration(record);
}

TEST_F(DeviceEnumerationTest, ReusedHolderRefillsFromTheSameList) {
    plant_attached(2);
    device_enumeration *record = nullptr;
    GUID g = product();
    ASSERT_EQ(1, enumerate_devices(&record, &g, 1, 0));
    ASSERT_EQ(1, enumerate_devices(&record, &g, 1, 0));
    EXPECT_EQ(2u, record->count) << "refilled, not appended";
    EXPECT_EQ(1u, machine.calls_to("SetupDiGetClassDevsA").size()) << "the list is built once";
    free_device_enumeration(record);
}

TEST_F(DeviceEnumerationTest, DeviceModeWithoutClassListsEveryDevice) {
    plant_attached(1);
    plant_device_with_driver(machine, "ROOT\\K440DTCR\\0000", {"ROOT\\K440DTCR"}, PORTS_CLASS, "", DriverKeyPlan{});
    device_enumeration *record = nullptr;
    ASSERT_EQ(1, enumerate_devices(&record, nullptr, 0, 0));
    EXPECT_EQ(ENUMERATION_MODE_DEVICES, record->mode) << "no class forces device mode";
    EXPECT_EQ(2u, record->count);
    EXPECT_EQ(nullptr, record->entries[0].detail);
    EXPECT_EQ(0u, record->entries[0].interface_data.cbSize);
    EXPECT_EQ(1u, machine.calls_to("SetupDiGetClassDevsA").size());
    free_device_enumeration(record);
}

TEST_F(DeviceEnumerationTest, FailuresSetTheLastError) {
    GUID g = product();
    EXPECT_EQ(0, enumerate_devices(nullptr, &g, 1, 0));
    EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
    machine.devices.class_devs_fail = true;
    machine.devices.class_devs_error = ERROR_ACCESS_DENIED;
    device_enumeration *record = nullptr;
    EXPECT_EQ(0, enumerate_devices(&record, &g, 1, 0));
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError()) << "the platform's own error";
    EXPECT_EQ(nullptr, record) << "the record this call made is released";
}

TEST_F(DeviceEnumerationTest, DetailFailureEndsWithThePlatformError) {
    plant_attached(2);
    machine.faults.push_back(sim::Fault{"SetupDiGetDeviceInterfaceDetailA", "\\1", 31u});
    device_enumeration *record = nullptr;
    GUID g = product();
    EXPECT_EQ(0, enumerate_devices(&record, &g, 1, 0));
    EXPECT_EQ((DWORD)31u, GetLastError());
    EXPECT_EQ(nullptr, record);
}

TEST_F(DeviceEnumerationTest, PresenceCheckSeesOnlyActiveInterfaces) {
    EXPECT_EQ(0, is_handset_attached(PRODUCT_GUID)) << "no handset at all";
    sim::Device &detached = plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\9", {"USB\\VID_FFFF&PID_0001"},
                                                     MODEM_CLASS, "", DriverKeyPlan{}, false);
    add_product_interface(detached, "\\\\?\\usb#detached");
    EXPECT_EQ(0, is_handset_attached(PRODUCT_GUID)) << "an installed but detached handset";
    plant_attached(1);
    EXPECT_EQ(1, is_handset_attached(PRODUCT_GUID));
    EXPECT_EQ(1, is_handset_attached("{5a0c31e2-7d44-4f19-9b6e-2c8d10f3a7b5}"));
}

TEST_F(DeviceEnumerationTest, MalformedGuidEnumeratesNothing) {
    plant_attached(1);
    EXPECT_EQ(0, is_handset_attached("{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B}"));
    EXPECT_EQ(0, is_handset_attached(""));
    EXPECT_TRUE(machine.calls_to("SetupDiGetClassDevsA").empty()) << "no list of an undefined class";
}

}  // namespace
