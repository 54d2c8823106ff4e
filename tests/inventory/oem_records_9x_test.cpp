// The OEM Name records and the driver keys of Windows 98/ME: what is queued, and that a
// "Driver" or "InfPath" text never widens a deletion beyond the product's own entries.
#include "inventory/oem_records_9x.h"

#include <string>

#include "base/os_class.h"
#include "inventory/legacy_inventory_support.h"
#include "support/sim_test.h"


namespace {
const char *const kOemName = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\SetupX\\INF\\OEM Name";
const char *const kClass = "System\\CurrentControlSet\\Services\\Class";
const char *const kGuid = "{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}";
}  // namespace

class OemRecords9x : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(OS_WIN98_SE);
        record = new_record();
        strcpy(record.windows_dir, "C:\\WINDOWS");
    }
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    std::string driver_key(const std::string &name) { return std::string(kClass) + "\\" + name; }
    void plant_driver_key(const std::string &name, const char *provider, const char *inf,
                          bool marker) {
        std::string path = driver_key(name);
        machine.registry.create(path);
        if (provider) machine.registry.set_string(path, "ProviderName", provider);
        if (inf) machine.registry.set_string(path, "InfPath", inf);
        if (marker) machine.registry.create(path + "\\" + kGuid);
    }
    std::vector<std::string> value_names() {
        std::vector<std::string> out;
        for (value_pair_entry *v = record.values_to_delete; v; v = v->next) {
            EXPECT_STREQ(kOemName, v->key_path);
            out.push_back(v->value_name);
        }
        return out;
    }
    run_record record;
};

TEST_F(OemRecords9x, OemNameValuesContainingTheShortNameInAnyCaseAreQueuedLowered) {
    machine.registry.set_string(kOemName, "ORVANE TELK440DTUC.INF", "x");
    machine.registry.set_string(kOemName, "orvane telk440dtat.inf", "x");
    machine.registry.set_string(kOemName, "K440dTp2.inf", "x");
    machine.registry.set_string(kOemName, "OtherK440.inf", "x");
    machine.registry.set_string(kOemName, "modem.inf", "x");

    EXPECT_EQ(0, scan_oem_name_values(&record));
    EXPECT_EQ(sorted({"orvane telk440dtuc.inf",
                                                    "orvane telk440dtat.inf", "k440dtp2.inf"}), sorted(value_names()));
}


TEST_F(OemRecords9x, EmptyShortNameMatchesNoValue) {
    machine.registry.set_string(kOemName, "modem.inf", "x");
    profile.short_name = "";
    scan_oem_name_values(&record);
    EXPECT_EQ(nullptr, record.values_to_delete) << "an empty short name is in every name";
}

TEST_F(OemRecords9x, MarkerSubkeyQueuesTheDriverKeyAndItsInfCopy) {
    plant_driver_key("Modem\\0003", "Microsoft", "ORVANE~1.INF", true);
    record.class_keys = list_of({"Modem\\0003"});
    EXPECT_EQ(1, follow_driver_keys(&record));
    EXPECT_EQ(strings({driver_key("Modem\\0003")}), texts_of(record.keys_to_delete));
    EXPECT_EQ(strings({"C:\\WINDOWS\\inf\\other\\ORVANE~1.INF"}), texts_of(record.files_to_delete))
        << "the marker wins over the Microsoft provider";
}

TEST_F(OemRecords9x, OtherProviderQueuesKeyAndInf) {
    plant_driver_key("Ports\\0002", "Orvane Tel,Inc.", "Orvane TelK440dTat.INF", false);
    record.class_keys = list_of({"Ports\\0002"});
    EXPECT_EQ(1, follow_driver_keys(&record));
    EXPECT_EQ(strings({driver_key("Ports\\0002")}), texts_of(record.keys_to_delete));
    EXPECT_EQ(strings({"C:\\WINDOWS\\inf\\other\\Orvane TelK440dTat.INF"}), texts_of(record.files_to_delete));
}

TEST_F(OemRecords9x, MicrosoftProviderInAnyCaseKeepsItsInf) {
    plant_driver_key("USB\\0000", "mICROSOFT", "USB.INF", false);
    record.class_keys = list_of({"USB\\0000"});
    EXPECT_EQ(0, follow_driver_keys(&record));
    EXPECT_EQ(strings({driver_key("USB\\0000")}), texts_of(record.keys_to_delete));
    EXPECT_EQ(nullptr, record.files_to_delete);
}


TEST_F(OemRecords9x, MarkerWithoutInfPathQueuesOnlyTheKey) {
    plant_driver_key("Modem\\0004", nullptr, nullptr, true);
    record.class_keys = list_of({"Modem\\0004"});
    EXPECT_EQ(0, follow_driver_keys(&record));
    EXPECT_EQ(strings({driver_key("Modem\\0004")}), texts_of(record.keys_to_delete));
    EXPECT_EQ(nullptr, record.files_to_delete);
}

TEST_F(OemRecords9x, MissingDriverKeyIsQueuedAnyway) {
    record.class_keys = list_of({"Modem\\0009"});
    EXPECT_EQ(0, follow_driver_keys(&record));
    EXPECT_EQ(strings({driver_key("Modem\\0009")}), texts_of(record.keys_to_delete));
}

TEST_F(OemRecords9x, DuplicateDriverTextIsQueuedTwice) {
    plant_driver_key("Modem\\0003", "Orvane Tel,Inc.", "A.INF", false);
    record.class_keys = list_of({"Modem\\0003", "Modem\\0003"});
    follow_driver_keys(&record);
    EXPECT_EQ(2, string_list_length(record.keys_to_delete));
    EXPECT_EQ(2, string_list_length(record.files_to_delete));
}

// A "Driver" text that is empty, ends in a backslash or names a class alone would make the
// driver-key path the class root or a whole device class: on these systems that tree would
// go with every other vendor's driver keys.
TEST_F(OemRecords9x, DriverTextsThatWouldNameTheClassRootOrAWholeClassAreRefused) {
    plant_driver_key("Modem\\0001", "Orvane Tel,Inc.", "A.INF", true);
    record.class_keys = list_of({"", "\\", "Modem\\", "Modem", "\\Modem\\0001", "Modem\\\\0001",
                                 "Modem\\0001\\"});
    EXPECT_EQ(0, follow_driver_keys(&record));
    EXPECT_EQ(nullptr, record.keys_to_delete) << "no key of the class tree may be queued";
    EXPECT_EQ(nullptr, record.files_to_delete);
}

TEST_F(OemRecords9x, InfPathWithAPathPartIsNotFollowedOutOfInfOther) {
    plant_driver_key("Modem\\0001", "Orvane Tel,Inc.", "..\\..\\SYSTEM\\VMM32.VXD", false);
    plant_driver_key("Modem\\0002", "Orvane Tel,Inc.", "C:KERNEL32.DLL", false);
    plant_driver_key("Modem\\0003", "Orvane Tel,Inc.", "", false);
    record.class_keys = list_of({"Modem\\0001", "Modem\\0002", "Modem\\0003"});
    EXPECT_EQ(0, follow_driver_keys(&record));
    EXPECT_EQ(3, string_list_length(record.keys_to_delete)) << "the driver keys still go";
    EXPECT_EQ(nullptr, record.files_to_delete);
}

TEST_F(OemRecords9x, OverlongPathsAreSkippedNeverCut) {
    std::string long_instance = "Modem\\" + std::string(260 - strlen(kClass) - 1 - 6, '7');
    std::string inf(127, 'N');  // fits the 128-byte read, not the 260-byte path
    strcpy(record.windows_dir, ("C:\\" + std::string(120, 'W')).c_str());
    plant_driver_key("Modem\\0001", "Orvane Tel,Inc.", inf.c_str(), false);
    record.class_keys = list_of({long_instance, "Modem\\0001"});
    follow_driver_keys(&record);
    EXPECT_EQ(strings({driver_key("Modem\\0001")}), texts_of(record.keys_to_delete))
        << "the 260-byte driver-key path is not queued";
    EXPECT_EQ(nullptr, record.files_to_delete) << "the INF path over 259 bytes is not queued";
}


// "表" is 0x95 0x5C in code page 932: its second byte is not a backslash.
TEST_F(OemRecords9x, DoubleByteNamesEndingInByte5CAreNotTakenForTrailingBackslashes) {
    std::string dbcs_class = "\x95\x5C";
    plant_driver_key("Modem\\" + dbcs_class, "Orvane Tel,Inc.", "A.INF", false);
    record.class_keys = list_of({"Modem\\" + dbcs_class});
    EXPECT_EQ(1, follow_driver_keys(&record));
    EXPECT_EQ(strings({driver_key("Modem\\" + dbcs_class)}), texts_of(record.keys_to_delete));
}
