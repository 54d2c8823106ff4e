// Key trees, listed values with access repair, and the UsbFlags values; paths that must never
// be walked and subkeys whose paths do not fit.
#include "removal/registry_deletion.h"

#include <string>
#include <vector>

#include "sim/security_model.h"
#include "sim/snapshot_lines.h"
#include "support/sim_test.h"

namespace {

const std::string kUsbFlags = "System\\CurrentControlSet\\Control\\UsbFlags";

class RegistryDeletion : public SimTest {
  protected:
    std::vector<std::string> deleted_keys() const {
        std::vector<std::string> out;
        for (const sim::Call &c : machine.calls_to("RegDeleteKeyA")) out.push_back(c.detail);
        return out;
    }
    // A key whose access list denies everyone the setting of values; Administrators own it,
    // so they may still read and replace its access list.
    void deny_writes(const std::string &path) {
        sim::KeySecurity &s = machine.registry.find(path)->security;
        s.has_dacl = true;
        s.dacl = {sim::AccessEntry{true, "S-1-5-18", 0xF003F, 0},
                  sim::AccessEntry{true, "S-1-5-32-545", 0x20019, 0x2},
                  sim::AccessEntry{false, "S-1-1-0", 0x2, 0}};
    }
};

TEST_F(RegistryDeletion, TreeGoesChildrenBeforeParents) {
    machine.registry.create("Software\\P\\A\\A1");
    machine.registry.create("Software\\P\\A\\A2");
    machine.registry.create("Software\\P\\B");
    EXPECT_EQ(DELETION_DONE, delete_key_tree("Software\\P").result);
    EXPECT_EQ((std::vector<std::string>{"Software\\P\\B", "Software\\P\\A\\A2", "Software\\P\\A\\A1",
                                        "Software\\P\\A", "Software\\P"}),
              deleted_keys())
        << "depth first, children in list order (reverse of enumeration), the key last";
    EXPECT_EQ(nullptr, machine.registry.find("Software\\P"));
    EXPECT_NE(nullptr, machine.registry.find("Software")) << "the parent stays";
}

TEST_F(RegistryDeletion, KeyDirectlyUnderTheRootStaysButLosesItsSubkeys) {
    machine.registry.create("Top\\Child");
    EXPECT_EQ(DELETION_FAILED, delete_key_tree("Top").result);
    EXPECT_NE(nullptr, machine.registry.find("Top"));
    EXPECT_EQ(nullptr, machine.registry.find("Top\\Child"));
}

TEST_F(RegistryDeletion, MalformedPathsAreNeverWalked) {
    machine.registry.create("Software\\TAVO\\Other\\Deep");
    machine.registry.create("Software\\TAVO\\Mine");
    std::string before = registry_snapshot();
    for (const char *path : {"Software\\TAVO\\", "Software\\\\TAVO", "\\Software\\TAVO", "",
                             "Software\\TAVO\\\\", "\\"}) {
        EXPECT_NE(DELETION_DONE, delete_key_tree(path).result) << "'" << path << "'";
    }
    EXPECT_EQ(before, registry_snapshot()) << "no key below the named parent may go";
    EXPECT_TRUE(machine.calls_to("RegEnumKeyExA").empty()) << "such a path is not even listed";
}

TEST_F(RegistryDeletion, OverlongPathIsRefused) {
    std::string path = "Software\\" + std::string(260, 'k');
    machine.registry.create(path + "\\Child");
    EXPECT_NE(DELETION_DONE, delete_key_tree(path.c_str()).result);
    EXPECT_NE(nullptr, machine.registry.find(path + "\\Child"));
}

TEST_F(RegistryDeletion, SubkeyWhosePathDoesNotFitStaysWithItsParent) {
    std::string parent = "Software\\P";
    std::string long_name(255, 'n');
    machine.registry.create(parent + "\\" + long_name);
    machine.registry.create(parent + "\\Short");
    EXPECT_EQ(DELETION_FAILED, delete_key_tree(parent.c_str()).result) << "NT refuses a key with subkeys";
    EXPECT_NE(nullptr, machine.registry.find(parent + "\\" + long_name)) << "never cut, never deleted";
    EXPECT_EQ(nullptr, machine.registry.find(parent + "\\Short")) << "its sibling still goes";
}

// "Other¥K440dT" reads through RegEnumKeyExA as "Other\K440dT", a deeper path, and "café" as
// "cafe", its sibling's name: neither may be walked, and the keys holding them stay.
TEST_F(RegistryDeletion, SubkeyWithABestFitNameStaysWithItsParents) {
    machine.registry.create_unicode_key("Software\\P\\Sub", u"Other\u00A5K440dT");
    machine.registry.create_unicode_key("Software\\P", u"caf\u00E9");
    machine.registry.create("Software\\P\\cafe\\Inner");
    deletion_outcome outcome = delete_key_tree("Software\\P");
    EXPECT_EQ(DELETION_FAILED, outcome.result) << "the run reports the key as left";
    EXPECT_EQ((unsigned long)ERROR_INVALID_NAME, outcome.error);
    EXPECT_EQ((std::vector<std::string>{"Software\\P\\cafe\\Inner", "Software\\P\\cafe"}),
              deleted_keys())
        << "the named keys go; a key holding an unnamed one is not even tried";
    ASSERT_NE(nullptr, machine.registry.find("Software\\P\\Sub"));
    EXPECT_EQ(1u, machine.registry.find("Software\\P\\Sub")->subkeys.size());
    EXPECT_EQ(2u, machine.registry.find("Software\\P")->subkeys.size()) << "Sub and the e-acute key";
}

TEST_F(RegistryDeletion, MissingKeyIsNotThere) {
    EXPECT_EQ(DELETION_NOT_THERE, delete_key_tree("Software\\Missing").result);
}

TEST_F(RegistryDeletion, KeyWhoseParentRefusesFullAccessStays) {
    machine.registry.create("Software\\Locked\\K");
    deny_writes("Software\\Locked");
    EXPECT_EQ(DELETION_FAILED, delete_key_tree("Software\\Locked\\K").result);
    EXPECT_NE(nullptr, machine.registry.find("Software\\Locked\\K"));
    EXPECT_TRUE(machine.calls_to("RegSetKeySecurity").empty()) << "trees get no access repair";
}

TEST_F(RegistryDeletion, DeniedValueIsDeletedAndTheAccessListPutBack) {
    machine.registry.set_string("Software\\Locked", "Gone", "x");
    machine.registry.set_string("Software\\Locked", "Stays", "y");
    deny_writes("Software\\Locked");
    std::vector<sim::AccessEntry> before = machine.registry.find("Software\\Locked")->security.dacl;
    EXPECT_EQ(DELETION_DONE, delete_value_forced("Software\\Locked", "Gone").result);
    EXPECT_FALSE(machine.registry.has_value("Software\\Locked", "Gone"));
    EXPECT_TRUE(machine.registry.has_value("Software\\Locked", "Stays"));
    const sim::KeySecurity &after = machine.registry.find("Software\\Locked")->security;
    ASSERT_TRUE(after.has_dacl);
    ASSERT_EQ(before.size(), after.dacl.size()) << "the earlier access list is back";
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].sid, after.dacl[i].sid);
        EXPECT_EQ(before[i].mask, after.dacl[i].mask);
        EXPECT_EQ(before[i].allow, after.dacl[i].allow);
        EXPECT_EQ(before[i].flags, after.dacl[i].flags);
    }
}

TEST_F(RegistryDeletion, AccessListIsNotReplacedWhenItCannotBeSaved) {
    machine.registry.set_string("Software\\Locked", "V", "x");
    deny_writes("Software\\Locked");
    machine.faults.push_back(sim::Fault{"RegGetKeySecurity", "Software\\Locked", ERROR_ACCESS_DENIED});
    EXPECT_EQ(DELETION_FAILED, delete_value_forced("Software\\Locked", "V").result);
    EXPECT_TRUE(machine.calls_to("RegSetKeySecurity").empty())
        << "a list that cannot be put back must not be replaced";
    EXPECT_EQ(3u, machine.registry.find("Software\\Locked")->security.dacl.size());
    EXPECT_TRUE(machine.registry.has_value("Software\\Locked", "V"));
}

TEST_F(RegistryDeletion, FailedGrantLeavesTheListAsItWas) {
    machine.registry.set_string("Software\\Locked", "V", "x");
    deny_writes("Software\\Locked");
    machine.faults.push_back(sim::Fault{"RegSetKeySecurity", "Software\\Locked", ERROR_ACCESS_DENIED, 0, 1});
    EXPECT_EQ(DELETION_FAILED, delete_value_forced("Software\\Locked", "V").result);
    EXPECT_EQ(3u, machine.registry.find("Software\\Locked")->security.dacl.size());
    EXPECT_TRUE(machine.registry.has_value("Software\\Locked", "V"));
}

TEST_F(RegistryDeletion, OtherOpenFailuresAreNotRepaired) {
    EXPECT_EQ(DELETION_NOT_THERE, delete_value_forced("Software\\Missing", "V").result);
    EXPECT_TRUE(machine.calls_to("RegGetKeySecurity").empty());
    machine.registry.create("Software\\Open");
    EXPECT_EQ(DELETION_NOT_THERE, delete_value_forced("Software\\Open", "Missing").result);
}

TEST_F(RegistryDeletion, UsbFlagsKeyIsNeverCreated) {
    string_list_entry *ids = 0;
    push_string(&ids, "FFFF/0001");
    EXPECT_EQ(0, clear_usb_serial_flags(ids));
    EXPECT_EQ(nullptr, machine.registry.find(kUsbFlags)) << "a machine without one keeps none";
    EXPECT_TRUE(machine.calls_to("RegCreateKeyExA").empty());
    free_string_list(ids);
}

TEST_F(RegistryDeletion, UsbFlagsValuesOfTheIdsOnly) {
    machine.registry.set_value(kUsbFlags, "IgnoreHWSerNum0A2B01C3", 3, {1});
    machine.registry.set_value(kUsbFlags, "IgnoreHWSerNum04BB0001", 3, {1});
    machine.registry.set_value(kUsbFlags, "IgnoreHWSerNum0000", 3, {1});
    string_list_entry *ids = 0;
    push_string(&ids, "0000");
    push_string(&ids, "0a2b/01c3");
    push_string(&ids, "FFFF/0001");
    EXPECT_EQ(1, clear_usb_serial_flags(ids));
    EXPECT_FALSE(machine.registry.has_value(kUsbFlags, "IgnoreHWSerNum0A2B01C3"))
        << "upper-case, zero-padded name";
    EXPECT_TRUE(machine.registry.has_value(kUsbFlags, "IgnoreHWSerNum04BB0001"));
    EXPECT_TRUE(machine.registry.has_value(kUsbFlags, "IgnoreHWSerNum0000"))
        << "a vendor id alone names no value";
    free_string_list(ids);
}

}  // namespace
