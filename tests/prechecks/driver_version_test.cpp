// The installed driver version check: finding the driver entry of the USB class for a device
// id and comparing its DriverVersion with a reference.
#include <gtest/gtest.h>

#include <string>

#include "base/os_class.h"
#include "base/string_list.h"
#include "prechecks/driver_version.h"
#include "support/sim_test.h"

namespace {
const std::string nt_class =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{36FC9E60-C465-11CF-8056-444553540000}";
const std::string legacy_class = "SYSTEM\\CurrentControlSet\\Services\\Class\\USB";
}  // namespace

class DriverVersionTest : public SimTest {
  protected:
    void TearDown() override {
        free_string_list(ids);
        SimTest::TearDown();
    }
    void add_entry(const std::string &class_key, const std::string &subkey,
                   const char *matching, const char *version) {
        std::string key = class_key + "\\" + subkey;
        machine.registry.create(key);
        if (matching) machine.registry.set_string(key, "MatchingDeviceId", matching);
        if (version) machine.registry.set_string(key, "DriverVersion", version);
    }
    int check(const char *id, const int *reference, int os_class = OS_WINXP) {
        free_string_list(ids);
        ids = nullptr;
        push_string(&ids, id);
        return compare_installed_driver_version(ids, reference, os_class);
    }
    string_list_entry *ids = nullptr;
};

TEST_F(DriverVersionTest, ComparesWithTheReferenceNumberByNumber) {
    add_entry(nt_class, "0000", "usb\\vid_ffff&pid_0001", "5.1.2600.0");
    const int equal[4] = {5, 1, 2600, 0}, newer[4] = {5, 1, 2601, 0}, older[4] = {5, 0, 9999, 9};
    EXPECT_EQ(2, check("FFFF/0001", equal)) << "installed equals the reference";
    EXPECT_EQ(1, check("FFFF/0001", newer)) << "installed is lower than the reference";
    EXPECT_EQ(3, check("FFFF/0001", older)) << "installed is higher: major first";
}

TEST_F(DriverVersionTest, OtherDeviceIdFindsNothing) {
    add_entry(nt_class, "0000", "usb\\vid_ffff&pid_0001", "5.1.2600.0");
    EXPECT_EQ(0, check("0A2B/01C3", nullptr));
}

TEST_F(DriverVersionTest, WithoutAReferenceAnInstalledDriverAnswers2) {
    add_entry(nt_class, "0000", "usb\\vid_ffff&pid_0001", "9.9.9.9");
    EXPECT_EQ(2, check("FFFF/0001", nullptr)) << "found, and no reference to compare with";
}

TEST_F(DriverVersionTest, ClassKeyFollowsTheOsClass) {
    add_entry(legacy_class, "0000", "USB\\VID_FFFF&PID_0001", "4.0.0.0");
    add_entry(nt_class, "0000", "USB\\VID_FFFF&PID_0001", "5.0.0.0");
    const int reference[4] = {4, 0, 0, 0};
    for (int os_class : {OS_WIN98, OS_WIN98_SE, OS_WINME})
        EXPECT_EQ(2, check("FFFF/0001", reference, os_class)) << "OS class " << os_class;
    for (int os_class : {OS_WIN2000, OS_WINXP})
        EXPECT_EQ(3, check("FFFF/0001", reference, os_class)) << "OS class " << os_class;
    for (int os_class : {OS_WIN2003, OS_LATER_NT})
        EXPECT_EQ(0, check("FFFF/0001", reference, os_class))
            << "OS class " << os_class << " has no class key to search";
}

TEST_F(DriverVersionTest, UpperCaseMatchingIdMatches) {
    add_entry(nt_class, "0000", "USB\\VID_FFFF&PID_0001&MI_02", "5.1.2600.0");
    EXPECT_EQ(2, check("ffff/0001", nullptr));
}

TEST_F(DriverVersionTest, FirstEntryInListOrderDecides) {
    // The subkey list reads in the reverse of the platform's order: 0001 comes first.
    add_entry(nt_class, "0000", "usb\\vid_ffff&pid_0001", "1.0.0.0");
    add_entry(nt_class, "0001", "usb\\vid_ffff&pid_00012", "7.0.0.0");
    const int reference[4] = {5, 0, 0, 0};
    EXPECT_EQ(3, check("FFFF/0001", reference)) << "pid_00012 holds pid_0001 as a substring";
}

TEST_F(DriverVersionTest, EntryWithoutMatchingIdIsSkipped) {
    add_entry(nt_class, "0000", "usb\\vid_ffff&pid_0001", "5.0.0.0");
    add_entry(nt_class, "0001", nullptr, "9.0.0.0");
    const int reference[4] = {5, 0, 0, 0};
    EXPECT_EQ(2, check("FFFF/0001", reference));
}

TEST_F(DriverVersionTest, MissingOrShortVersionCountsMissingNumbersAsZero) {
    add_entry(nt_class, "0000", "usb\\vid_ffff&pid_0001", nullptr);
    const int zero[4] = {0, 0, 0, 0};
    EXPECT_EQ(2, check("FFFF/0001", zero)) << "no DriverVersion reads as 0.0.0.0";
    machine.registry.set_string(nt_class + "\\0000", "DriverVersion", "5.1");
    const int five_one[4] = {5, 1, 0, 0};
    EXPECT_EQ(2, check("FFFF/0001", five_one));
    machine.registry.set_string(nt_class + "\\0000", "DriverVersion", "5.x.3.4");
    const int five[4] = {5, 0, 0, 0};
    EXPECT_EQ(2, check("FFFF/0001", five)) << "reading stops at the first non-number";
    machine.registry.set_string(nt_class + "\\0000", "DriverVersion", "99999999999999.0.0.0");
    const int huge[4] = {2147483647, 0, 0, 0};
    EXPECT_EQ(2, check("FFFF/0001", huge)) << "an overlong number reads as the limit";
}

TEST_F(DriverVersionTest, VendorOnlyIdSearchesForTheVendor) {
    add_entry(nt_class, "0000", "usb\\vid_0000&pid_1234", "1.0.0.0");
    EXPECT_EQ(2, check("0000", nullptr)) << "the id 0000 searches vid_0000&pid_";
}

TEST_F(DriverVersionTest, EveryDeviceIdIsTriedInListOrder) {
    add_entry(nt_class, "0000", "usb\\vid_ffff&pid_0001", "5.0.0.0");
    push_string(&ids, "FFFF/0001");
    push_string(&ids, "0A2B/01C3");  // read first, finds nothing
    const int reference[4] = {5, 0, 0, 0};
    EXPECT_EQ(2, compare_installed_driver_version(ids, reference, OS_WINXP));
}

TEST_F(DriverVersionTest, MissingClassKeyFindsNothing) {
    EXPECT_EQ(0, check("FFFF/0001", nullptr));
}
