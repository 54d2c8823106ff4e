// The product's OEM INF copies found through the driver keys of its devices, or by reading
// the INF directory when no device list can be built.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "base/os_class.h"
#include "inventory/oem_inf_discovery.h"
#include "support/device_machine.h"
#include "support/sim_test.h"

namespace {

class OemInfDiscoveryTest : public SimTest {
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
    // One device of the product whose driver key follows the plan.
    void plant_handset(const DriverKeyPlan &plan, bool present = false) {
        ++serial;
        plant_device_with_driver(machine, "USB\\VID_FFFF&PID_0001\\" + std::to_string(serial),
                                 {"USB\\VID_FFFF&PID_0001"}, MODEM_CLASS, "000" + std::to_string(serial), plan,
                                 present);
    }
    std::vector<std::string> discovered() {
        discover_oem_infs(&record);
        return texts_of(record.files_to_delete);
    }
    run_record record;
    int serial = 0;
};

const std::vector<std::string> oem12_pair = {"C:\\WINDOWS\\inf\\oem12.pnf", "C:\\WINDOWS\\inf\\oem12.inf"};

TEST_F(OemInfDiscoveryTest, OemCopyOfAnotherProviderQualifies) {
    plant_handset(DriverKeyPlan{"oem12.inf", "Halvenor", false});
    EXPECT_EQ(oem12_pair, discovered()) << "the INF and its PNF twin, the twin at the head";
}

TEST_F(OemInfDiscoveryTest, ADetachedHandsetStillLeadsToItsInf) {
    plant_handset(DriverKeyPlan{"oem12.inf", "Halvenor", false}, false);
    EXPECT_EQ(1, discover_oem_infs(&record));
    EXPECT_EQ(oem12_pair, texts_of(record.files_to_delete));
}

TEST_F(OemInfDiscoveryTest, TheMarkerSubkeyOutweighsProviderAndName) {
    plant_handset(DriverKeyPlan{"usb.inf", "Microsoft", true});
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\inf\\usb.pnf", "C:\\WINDOWS\\inf\\usb.inf"}), discovered());
}

TEST_F(OemInfDiscoveryTest, WithoutTheMarkerProviderAndNameDecide) {
    plant_handset(DriverKeyPlan{"oem3.inf", "MICROSOFT", false});
    plant_handset(DriverKeyPlan{"usb.inf", "Halvenor", false});
    plant_handset(DriverKeyPlan{"oem4.inf", "", false});
    EXPECT_TRUE(discovered().empty())
        << "Microsoft in any case, a name that is no OEM copy, or no provider at all";
    EXPECT_EQ(nullptr, record.files_to_delete);
}

TEST_F(OemInfDiscoveryTest, MarkerWithoutUsableInfPathAddsNothing) {
    plant_handset(DriverKeyPlan{"", "Halvenor", true});
    plant_handset(DriverKeyPlan{"oem5", "Halvenor", true});
    plant_handset(DriverKeyPlan{"..\\system32\\drivers\\usbser.sys", "Halvenor", true});
    plant_handset(DriverKeyPlan{"C:oem6.inf", "Halvenor", true});
    EXPECT_TRUE(discovered().empty())
        << "no name, no extension, or a name that leads out of the INF directory";
}

TEST_F(OemInfDiscoveryTest, AnInfPathThatDoesNotFitIsNotCut) {
    plant_handset(DriverKeyPlan{"oem" + std::string(130, '1') + ".inf", "Halvenor", false});
    plant_handset(DriverKeyPlan{std::string(120, 'O') + "oem.inf", "Halvenor", true});
    EXPECT_EQ(1u, discovered().size() / 2) << "a value of 128 bytes or more is unreadable; 127 fit";
}

TEST_F(OemInfDiscoveryTest, PathsOverTheLimitAreNeverTruncated) {
    std::string long_dir = "C:\\" + std::string(140, 'w');
    std::strcpy(record.windows_dir, long_dir.c_str());
    plant_handset(DriverKeyPlan{"oem" + std::string(110, '7') + ".inf", "Halvenor", false});
    EXPECT_TRUE(discovered().empty()) << "the INF path would pass 260 bytes";
}

TEST_F(OemInfDiscoveryTest, DriverKeysThatDoNotOpenAreSkipped) {
    push_all(&record.driver_keys, {"{not-a-guid}\\0001", "{00000000-0000-0000-0000-000000000009}\\0001",
                                   std::string(MODEM_CLASS) + "\\0404", std::string(MODEM_CLASS) + "\\"});
    EXPECT_EQ(0, infs_from_driver_keys(record.driver_keys, record.windows_dir, PRODUCT_GUID,
                                       &record.files_to_delete));
}

TEST_F(OemInfDiscoveryTest, AnEmptyProductGuidMarksNothing) {
    plant_handset(DriverKeyPlan{"oem3.inf", "Microsoft", false});
    discover_oem_infs(&record);
    free_string_list(record.files_to_delete);
    record.files_to_delete = nullptr;
    EXPECT_EQ(0, infs_from_driver_keys(record.driver_keys, record.windows_dir, "", &record.files_to_delete))
        << "an empty marker name would open the driver key itself";
}

TEST_F(OemInfDiscoveryTest, TwoDevicesOfOneInfAddThePairTwice) {
    plant_handset(DriverKeyPlan{"oem12.inf", "Halvenor", false});
    plant_handset(DriverKeyPlan{"oem12.inf", "Halvenor", false});
    EXPECT_EQ(4u, discovered().size());
}

TEST_F(OemInfDiscoveryTest, NoDeviceOfTheProductFindsNothingEvenWithInfsPresent) {
    plant_inf(machine, "oem12.inf", inf_text("uninstallable", "USB\\VID_FFFF&PID_0001"));
    EXPECT_EQ(0, discover_oem_infs(&record)) << "the device list exists, so the INF directory is not read";
    EXPECT_TRUE(machine.calls_to("SetupOpenInfFileA").empty());
}

class InfDirectoryFallbackTest : public OemInfDiscoveryTest {
  protected:
    void SetUp() override {
        OemInfDiscoveryTest::SetUp();
        machine.devices.class_devs_fail = true;
        plant_inf(machine, "oem1.inf", inf_text("uninstallable", "USB\\VID_FFFF&PID_0001&MI_00"));
        plant_inf(machine, "oem2.inf", inf_text(nullptr, "USB\\VID_FFFF&PID_0001&MI_02"));
        plant_inf(machine, "oem3.inf", inf_text("uninstallable,notinstallonwinxp", "ROOT\\K440DTCR"));
        plant_inf(machine, "oem4.inf", inf_text("uninstallable", "USB\\VID_1234&PID_0001"));
        plant_inf(machine, "usb.inf", inf_text(nullptr, "USB\\ROOT_HUB"));
        machine.files.write_file("C:\\WINDOWS\\inf\\oem1.pnf", "PNF");
    }
};

TEST_F(InfDirectoryFallbackTest, OptionsAndDevicesDecide) {
    record.os_class = OS_WINXP;
    EXPECT_EQ(1, discover_oem_infs(&record));
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\inf\\oem1.pnf", "C:\\WINDOWS\\inf\\oem1.inf"}),
              texts_of(record.files_to_delete));
}

TEST_F(InfDirectoryFallbackTest, SkippedValidationLeavesTheDeviceTest) {
    record.os_class = OS_WINXP;
    record.skip_inf_validation = 1;
    discover_oem_infs(&record);
    std::vector<std::string> found = texts_of(record.files_to_delete);
    std::sort(found.begin(), found.end());
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\inf\\oem1.inf", "C:\\WINDOWS\\inf\\oem1.pnf",
                                        "C:\\WINDOWS\\inf\\oem2.inf", "C:\\WINDOWS\\inf\\oem2.pnf",
                                        "C:\\WINDOWS\\inf\\oem3.inf", "C:\\WINDOWS\\inf\\oem3.pnf"}),
              found)
        << "every INF naming a product device, options or not";
}

TEST_F(InfDirectoryFallbackTest, OptionsAreAskedBeforeTheDeviceTest) {
    record.os_class = OS_WINXP;
    discover_oem_infs(&record);
    auto opens_of = [this](const char *name) {
        int n = 0;
        for (const sim::Call &c : machine.calls_to("SetupOpenInfFileA"))
            if (c.detail.find(name) != std::string::npos) ++n;
        return n;
    };
    EXPECT_EQ(1, opens_of("oem2.inf")) << "no options: the models are never read";
    EXPECT_EQ(1, opens_of("oem3.inf")) << "refused on this Windows: the models are never read";
    EXPECT_EQ(3, opens_of("oem4.inf")) << "options, manufacturer list, one model section";
}

TEST_F(InfDirectoryFallbackTest, NamesThatDoNotFitThePathArePassedOver) {
    std::string dir = "C:\\WINDOWS\\inf\\" + std::string(200, 'd');
    machine.files.write_file(dir + "\\" + std::string(50, 'n') + ".inf",
                             inf_text("uninstallable", "USB\\VID_FFFF&PID_0001"));
    string_list_entry *files = nullptr;
    EXPECT_EQ(0, scan_inf_directory(record.device_ids, record.device_names, dir.c_str(), OS_WINXP, &files, 0));
    EXPECT_EQ(nullptr, files);
}

TEST_F(InfDirectoryFallbackTest, NamesTheCodePageCannotHoldAreLeftAlone) {
    // The ANSI listing would hand back "..\..\victim.inf" and "oeme.inf": other files.
    const std::string text = inf_text("uninstallable", "USB\\VID_FFFF&PID_0001&MI_00");
    machine.files.write_file("C:\\victim.inf", text);
    machine.files.write_file("C:\\WINDOWS\\inf\\oeme.inf", inf_text("uninstallable", "ROOT\\OTHER"));
    machine.files.write_unicode_file("C:\\WINDOWS\\inf", u"..\u00A5..\u00A5victim.inf", "__~1.INF", text);
    machine.files.write_unicode_file("C:\\WINDOWS\\inf", u"oem\u00E9.inf", "OEM~1.INF", text);
    record.os_class = OS_WINXP;
    discover_oem_infs(&record);
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\inf\\oem1.pnf", "C:\\WINDOWS\\inf\\oem1.inf"}),
              texts_of(record.files_to_delete))
        << "nor through the 8.3 name, whose PNF twin would be another file's";
}

TEST_F(InfDirectoryFallbackTest, AMissingDirectoryFindsNothing) {
    string_list_entry *files = nullptr;
    EXPECT_EQ(0, scan_inf_directory(record.device_ids, record.device_names, "C:\\NoSuchDir", OS_WINXP, &files, 1));
}

}  // namespace
