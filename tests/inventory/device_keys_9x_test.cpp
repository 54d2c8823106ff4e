// The device-tree scans of Windows 98/ME: which device keys are queued and which "Driver"
// texts are collected.
#include "inventory/device_keys_9x.h"

#include <string>

#include "base/os_class.h"
#include "inventory/legacy_inventory_support.h"
#include "support/sim_test.h"


class DeviceKeys9x : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(OS_WIN98);
        record = new_record();
        record.device_names = list_of({"K440dTCR"});
        record.device_ids = list_of({"0000", "FFFF/0001"});
    }
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    void instance(const std::string &device_key, const std::string &name, const char *hardware_id,
                  const char *driver) {
        std::string path = device_key + "\\" + name;
        machine.registry.create(path);
        if (hardware_id) machine.registry.set_string(path, "HardwareId", hardware_id);
        if (driver) machine.registry.set_string(path, "Driver", driver);
    }
    run_record record;
};

TEST_F(DeviceKeys9x, EnumeratorKeyIsQueuedWithTheDriverTextsOfAllItsInstances) {
    instance("Enum\\K440dTCR\\MODEM", "0000", "K440dTCR\\MODEM", "Modem\\0003");
    instance("Enum\\K440dTCR\\MODEM", "0001", "K440dTCR\\MODEM", "Modem\\0004");
    instance("Enum\\K440dTCR\\PORTS", "0000", "K440dTCR\\PORTS", "Ports\\0002");

    EXPECT_EQ(1, scan_enumerator_key(&record, "K440dTCR")) << "the enumerator key exists";
    EXPECT_EQ(strings({"Enum\\K440dTCR"}), texts_of(record.keys_to_delete))
        << "only the enumerator key itself is queued; its tree goes with it";
    EXPECT_EQ(sorted({"Modem\\0003", "Modem\\0004", "Ports\\0002"}), sorted(texts_of(record.class_keys)));
}


TEST_F(DeviceKeys9x, RootDeviceKeyWithoutInstancesIsQueuedAndCollectsNothing) {
    machine.registry.create("Enum\\Root\\K440dTCR");
    EXPECT_EQ(0, scan_device_key(&record, "Enum\\Root", "K440dTCR"))
        << "no instance had a Driver value";
    EXPECT_EQ(strings({"Enum\\Root\\K440dTCR"}), texts_of(record.keys_to_delete));
    EXPECT_EQ(nullptr, record.class_keys);
}


TEST_F(DeviceKeys9x, EmptyDeviceNameNeverNamesTheEnumeratorItself) {
    machine.registry.create("Enum\\Root\\ANYTHING\\0000");
    EXPECT_EQ(0, scan_enumerator_key(&record, "")) << "\"Enum\\\" must not be queued";
    EXPECT_EQ(0, scan_device_key(&record, "Enum\\Root", "")) << "\"Enum\\Root\\\" neither";
    EXPECT_EQ(nullptr, record.keys_to_delete);
}

TEST_F(DeviceKeys9x, DeviceNameWithABackslashIsRefused) {
    machine.registry.create("Enum\\Root\\K440dTCR");
    EXPECT_EQ(0, scan_device_key(&record, "Enum", "Root\\K440dTCR"));
    EXPECT_EQ(nullptr, record.keys_to_delete);
}

TEST_F(DeviceKeys9x, VidPidScanQueuesTheDeviceAndEachFunctionKeyUnderTheirListedNames) {
    instance("Enum\\USB\\VID_FFFF&PID_0001", "5&1A2B&0&1", "USB\\VID_FFFF&PID_0001", "USB\\0010");
    instance("Enum\\USB\\Vid_ffff&Pid_0001&MI_02", "6&3C&0&2", "USB\\VID_FFFF&PID_0001&MI_02",
             "Modem\\0005");
    instance("Enum\\USB\\VID_FFFF&PID_0002", "1", "USB\\VID_FFFF&PID_0002", "USB\\0011");
    instance("Enum\\USB\\VID_0AB1&PID_0001", "1", "USB\\VID_0AB1&PID_0001", "USB\\0012");
    instance("Enum\\PCI\\VEN_8086&DEV_7112", "1", "PCI\\VEN_8086", "USB\\0000");

    EXPECT_EQ(1, scan_vid_pid_devices(&record));
    EXPECT_EQ(sorted({"Enum\\USB\\VID_FFFF&PID_0001",
                                     "Enum\\USB\\Vid_ffff&Pid_0001&MI_02"}), sorted(texts_of(record.keys_to_delete)))
        << "the other product id and the other vendor stay";
    EXPECT_EQ(sorted({"USB\\0010", "Modem\\0005"}), sorted(texts_of(record.class_keys)));
}

TEST_F(DeviceKeys9x, VendorAloneMatchesEveryProductOfThatVendor) {
    free_string_list(record.device_ids);
    record.device_ids = list_of({"FFFF"});
    machine.registry.create("Enum\\USB\\VID_FFFF&PID_0099");
    EXPECT_EQ(0, scan_vid_pid_devices(&record)) << "the key has no instance with a Driver value";
    EXPECT_EQ(strings({"Enum\\USB\\VID_FFFF&PID_0099"}), texts_of(record.keys_to_delete));
}

TEST_F(DeviceKeys9x, HardwareIdScanQueuesTheWholeDeviceKeyButOnlyMatchingInstancesDrivers) {
    instance("Enum\\PCI\\VEN_1234&DEV_0001", "000800", "PCI\\VEN_1234&DEV_0001&k440DtCr",
             "Ports\\0001");
    instance("Enum\\PCI\\VEN_1234&DEV_0001", "000900", "PCI\\VEN_1234&DEV_0001", "Ports\\0009");
    instance("Enum\\PCI\\VEN_8086&DEV_7112", "000A00", "PCI\\VEN_8086&DEV_7112", "USB\\0000");

    EXPECT_EQ(1, scan_hardware_id_devices(&record, "Enum\\PCI"));
    EXPECT_EQ(strings({"Enum\\PCI\\VEN_1234&DEV_0001"}), texts_of(record.keys_to_delete));
    EXPECT_EQ(strings({"Ports\\0001"}), texts_of(record.class_keys))
        << "the non-matching instance's driver key is not the product's";
}

TEST_F(DeviceKeys9x, MatchingInstanceWithoutDriverStillQueuesItsDeviceKey) {
    instance("Enum\\USBSTOR\\DISK&VEN_K440DTCR", "1", "USBSTOR\\DiskK440dTCR", nullptr);
    EXPECT_EQ(1, scan_hardware_id_devices(&record, "Enum\\USBSTOR"));
    EXPECT_EQ(strings({"Enum\\USBSTOR\\DISK&VEN_K440DTCR"}), texts_of(record.keys_to_delete));
    EXPECT_EQ(nullptr, record.class_keys);
}

TEST_F(DeviceKeys9x, EmptyDeviceNamesQueueNothingInTheHardwareIdScan) {
    free_string_list(record.device_names);
    record.device_names = 0;
    instance("Enum\\PCI\\VEN_1234&DEV_0001", "000800", "PCI\\K440dTCR", "Ports\\0001");
    EXPECT_EQ(0, scan_hardware_id_devices(&record, "Enum\\PCI"));
    EXPECT_EQ(nullptr, record.keys_to_delete);
}

TEST_F(DeviceKeys9x, OverlongInstancePathIsSkippedNeverCut) {
    std::string device = "Enum\\Root\\K440dTCR";
    std::string long_name(260 - device.size() - 1, 'I');  // path of exactly 260 bytes
    instance(device, long_name, "K440dTCR", "Modem\\0001");
    std::string fitting(259 - device.size() - 1, 'J');      // path of 259 bytes
    instance(device, fitting, "K440dTCR", "Modem\\0002");
    machine.registry.create(device + "\\" + long_name.substr(0, long_name.size() - 1));

    EXPECT_EQ(1, scan_device_key(&record, "Enum\\Root", "K440dTCR"));
    EXPECT_EQ(strings({"Modem\\0002"}), texts_of(record.class_keys))
        << "only the instance whose path fits is read";
}

