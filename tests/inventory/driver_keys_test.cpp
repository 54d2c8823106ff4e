// Device properties and the driver keys of the product's device instances.
#include <gtest/gtest.h>

#include "base/device_properties.h"
#include "inventory/driver_keys.h"
#include "support/device_machine.h"
#include "support/sim_test.h"

namespace {

class DriverKeysTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        record = new_record();
        use_builtin_ids(&record);
    }
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    std::vector<std::string> collect() {
        EXPECT_NE(0, collect_driver_keys(record.device_ids, record.device_names, &record.driver_keys,
                                         &record.device_instances, &record.filtered_devices))
            << "the device list could be built and released";
        return texts_of(record.driver_keys);
    }
    run_record record;
};

TEST_F(DriverKeysTest, DetachedDevicesOfEveryClassAreFound) {
    plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001&MI_00\\1", {"USB\\VID_FFFF&PID_0001&MI_00"},
                             MODEM_CLASS, "0001", DriverKeyPlan{}, false);
    plant_device_with_driver(machine, "ROOT\\K440DTCR\\0000", {"root\\k440dtcr"}, PORTS_CLASS, "0004",
                             DriverKeyPlan{}, true);
    plant_device_with_driver(machine, "USB\\VID_1234&PID_0001\\1", {"USB\\VID_1234&PID_0001"}, MODEM_CLASS,
                             "0002", DriverKeyPlan{});
    EXPECT_EQ((std::vector<std::string>{std::string(PORTS_CLASS) + "\\0004", std::string(MODEM_CLASS) + "\\0001"}),
              collect())
        << "both product devices, attached or not, read in the reverse order of discovery";
    EXPECT_EQ((std::vector<std::string>{"ROOT\\K440DTCR\\0000", "USB\\VID_FFFF&PID_0001&MI_00\\1"}),
              texts_of(record.device_instances))
        << "their instance ids too, for the removal to reopen";
    EXPECT_TRUE(record.filtered_devices == nullptr) << "no device has a filter list of its own";
}

TEST_F(DriverKeysTest, DevicesWithFilterListsOfTheirOwnAreNoted) {
    plant_device_with_driver(machine, "USB\\VID_1234&PID_0001\\1", {"USB\\VID_1234&PID_0001"}, MODEM_CLASS,
                             "0002", DriverKeyPlan{});
    const std::string list("Flt\0\0", 5);
    machine.registry.set_value("System\\CurrentControlSet\\Enum\\USB\\VID_1234&PID_0001\\1", "LowerFilters",
                               REG_MULTI_SZ, std::vector<uint8_t>(list.begin(), list.end()));
    EXPECT_TRUE(collect().empty());
    EXPECT_EQ((std::vector<std::string>{"USB\\VID_1234&PID_0001\\1"}), texts_of(record.filtered_devices))
        << "any class, the product's or not: where a service of the driver set can be a filter";
}

TEST_F(DriverKeysTest, OnlyTheFirstHardwareIdCounts) {
    plant_device_with_driver(machine, "USB\\VID_1234&PID_0001\\1", {"USB\\VID_1234&PID_0001", "USB\\VID_FFFF&PID_0001"},
                             MODEM_CLASS, "0001", DriverKeyPlan{});
    EXPECT_TRUE(collect().empty()) << "the product's id in second place does not make it the product's";
}

TEST_F(DriverKeysTest, AMatchingDeviceWithoutDriverKeyAddsNothing) {
    plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\1", {"USB\\VID_FFFF&PID_0001"}, MODEM_CLASS, "",
                             DriverKeyPlan{});
    plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\2", {}, MODEM_CLASS, "0009", DriverKeyPlan{});
    EXPECT_TRUE(collect().empty()) << "never installed, or without hardware ids";
}

TEST_F(DriverKeysTest, AHardwareIdListLongerThanTheBufferIsReadWhole) {
    std::vector<std::string> ids = {"USB\\VID_FFFF&PID_0001&REV_0100"};
    for (int i = 0; i < 120; ++i) ids.push_back("USB\\COMPAT_ID_NUMBER_" + std::to_string(i));
    sim::Device &d = plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\1", ids, MODEM_CLASS, "0001",
                                              DriverKeyPlan{});
    size_t bytes = 1;
    for (const std::string &id : d.hardware_ids) bytes += id.size() + 1;
    ASSERT_GT(bytes, (size_t)DEVICE_PROPERTY_SIZE);
    EXPECT_EQ((std::vector<std::string>{std::string(MODEM_CLASS) + "\\0001"}), collect());

    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof device;
    ASSERT_TRUE(SetupDiEnumDeviceInfo(set, 0, &device));
    char buffer[DEVICE_PROPERTY_SIZE];
    EXPECT_EQ(1, get_hardware_id(set, &device, buffer));
    EXPECT_STREQ("USB\\VID_FFFF&PID_0001&REV_0100", buffer) << "the first id as it stands";
    SetupDiDestroyDeviceInfoList(set);
}

TEST_F(DriverKeysTest, AFirstIdLongerThanAnEntryIsTestedOnItsStart) {
    std::string id = "USB\\VID_FFFF&PID_0001&" + std::string(3000, 'X');
    plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\1", {id}, MODEM_CLASS, "0001", DriverKeyPlan{});
    EXPECT_EQ(1u, collect().size());
}

TEST_F(DriverKeysTest, AnOverlongDriverKeyIsNotCut) {
    sim::Device &d = plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\1", {"USB\\VID_FFFF&PID_0001"},
                                              MODEM_CLASS, "0001", DriverKeyPlan{});
    d.driver_key = std::string(MODEM_CLASS) + "\\" + std::string(2100, '1');
    EXPECT_TRUE(collect().empty());
}

TEST_F(DriverKeysTest, AListThatCannotBeBuiltAnswersZero) {
    plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\1", {"USB\\VID_FFFF&PID_0001"}, MODEM_CLASS, "0001",
                             DriverKeyPlan{});
    machine.devices.class_devs_fail = true;
    EXPECT_EQ(0, collect_driver_keys(record.device_ids, record.device_names, &record.driver_keys,
                                     &record.device_instances, nullptr));
    EXPECT_EQ(nullptr, record.driver_keys);
}

TEST_F(DriverKeysTest, AFailedReleaseIsReported) {
    machine.faults.push_back(sim::Fault{"SetupDiDestroyDeviceInfoList", "", ERROR_INVALID_HANDLE});
    EXPECT_EQ(0, collect_driver_keys(record.device_ids, record.device_names, &record.driver_keys,
                                     &record.device_instances, nullptr));
}

TEST_F(DriverKeysTest, AnInstanceIdThatCannotBeReadIsReported) {
    plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\1", {"USB\\VID_FFFF&PID_0001"}, MODEM_CLASS, "0001",
                             DriverKeyPlan{});
    machine.faults.push_back(sim::Fault{"SetupDiGetDeviceInstanceIdA", "", ERROR_INVALID_PARAMETER});
    EXPECT_EQ(DEVICE_LIST_IDS_MISSING, collect_driver_keys(record.device_ids, record.device_names,
                                                           &record.driver_keys, &record.device_instances, nullptr))
        << "the removal must then list every device itself";
    EXPECT_EQ(1, string_list_length(record.driver_keys));
}

}  // namespace
