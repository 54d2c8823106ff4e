// The registry helpers on the simulated HKEY_LOCAL_MACHINE.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/reg_helpers.h"
#include "support/sim_test.h"

namespace {

std::vector<std::string> texts(const string_list_entry *list) {
    std::vector<std::string> out;
    for (; list; list = list->next) out.push_back(list->text);
    return out;
}

std::vector<uint8_t> bytes(const std::string &s) { return std::vector<uint8_t>(s.begin(), s.end()); }

}  // namespace

class RegHelpersTest : public SimTest {
  protected:
    std::string read(const char *path, const char *name, DWORD size, int *result) {
        std::vector<char> buffer(size + 1, 'Z');
        *result = reg_read_string(path, name, buffer.data(), size);
        return std::string(buffer.data());
    }
};

TEST_F(RegHelpersTest, SubkeysAreListedInFrontOfExistingEntriesInReverseOrder) {
    machine.registry.create("Software\\T\\first");
    machine.registry.create("Software\\T\\second");
    machine.registry.create("Software\\T\\third");
    string_list_entry *list = 0;
    push_string(&list, "already there");
    EXPECT_EQ(1, reg_list_subkeys("Software\\T", &list));
    EXPECT_EQ((std::vector<std::string>{"third", "second", "first", "already there"}), texts(list));
    free_string_list(list);
}

TEST_F(RegHelpersTest, KeyWithoutSubkeysListsLikeAMissingKey) {
    machine.registry.create("Software\\Empty");
    string_list_entry *list = 0;
    EXPECT_EQ(0, reg_list_subkeys("Software\\Empty", &list));
    EXPECT_EQ(0, reg_list_subkeys("Software\\Missing", &list));
    EXPECT_EQ(nullptr, list);
}

TEST_F(RegHelpersTest, SubkeyListingEndsAtTheFirstEnumerationError) {
    for (const char *n : {"a", "b", "c"}) machine.registry.create(std::string("Software\\E\\") + n);
    sim::RegKey *key = machine.registry.find("Software\\E");
    key->subkey_enum_fails_at = 2;
    key->subkey_enum_error = ERROR_ACCESS_DENIED;
    string_list_entry *list = 0;
    EXPECT_EQ(1, reg_list_subkeys("Software\\E", &list)) << "the names before the error count";
    EXPECT_EQ((std::vector<std::string>{"b", "a"}), texts(list));
    free_string_list(list);
    key->subkey_enum_fails_at = 0;
    EXPECT_EQ(0, reg_list_subkeys("Software\\E", &list));
}

TEST_F(RegHelpersTest, ValueListingPassesOverNamesTooLongAndEndsOnOtherErrors) {
    std::string long_name(1024, 'n');
    machine.registry.set_string("Software\\V", "one", "1");
    machine.registry.set_string("Software\\V", long_name, "2");
    machine.registry.set_string("Software\\V", "three", "3");
    string_list_entry *list = 0;
    EXPECT_EQ(1, reg_list_values("Software\\V", &list));
    EXPECT_EQ((std::vector<std::string>{"three", "one"}), texts(list))
        << "a name that does not fit is neither cut nor taken";
    list = free_string_list(list);
    sim::RegKey *key = machine.registry.find("Software\\V");
    key->value_enum_fails_at = 1;
    key->value_enum_error = ERROR_ACCESS_DENIED;
    EXPECT_EQ(1, reg_list_values("Software\\V", &list));
    EXPECT_EQ((std::vector<std::string>{"one"}), texts(list)) << "any other error ends the listing";
    free_string_list(list);
}

TEST_F(RegHelpersTest, ReadsStringTypesAsTerminatedText) {
    machine.registry.set_value("Software\\S", "sz", REG_SZ, bytes(std::string("abc", 4)));
    machine.registry.set_value("Software\\S", "raw", REG_SZ, bytes("abc"));
    machine.registry.set_value("Software\\S", "expand", REG_EXPAND_SZ, bytes(std::string("%SystemRoot%\\x", 15)));
    machine.registry.set_value("Software\\S", "multi", REG_MULTI_SZ, bytes(std::string("first\0second\0\0", 14)));
    machine.registry.set_value("Software\\S", "empty", REG_SZ, {});
    int rc;
    EXPECT_EQ("abc", read("Software\\S", "sz", 260, &rc));
    EXPECT_EQ(1, rc);
    EXPECT_EQ("abc", read("Software\\S", "raw", 260, &rc)) << "stored without terminator: read whole";
    EXPECT_EQ(1, rc);
    EXPECT_EQ("%SystemRoot%\\x", read("Software\\S", "expand", 260, &rc)) << "not expanded";
    EXPECT_EQ("first", read("Software\\S", "multi", 260, &rc)) << "the first string counts";
    EXPECT_EQ("", read("Software\\S", "empty", 260, &rc));
    EXPECT_EQ(1, rc);
}

TEST_F(RegHelpersTest, OtherTypesAndValuesTooLargeGiveAnEmptyBuffer) {
    machine.registry.set_dword("Software\\S", "dword", 7);
    machine.registry.set_value("Software\\S", "binary", REG_BINARY, bytes("xyz"));
    machine.registry.set_string("Software\\S", "long", std::string(300, 'L'));
    int rc;
    EXPECT_EQ("", read("Software\\S", "dword", 260, &rc));
    EXPECT_EQ(0, rc);
    EXPECT_EQ("", read("Software\\S", "binary", 260, &rc));
    EXPECT_EQ(0, rc);
    EXPECT_EQ("", read("Software\\S", "long", 260, &rc)) << "never the platform's undefined bytes";
    EXPECT_EQ(0, rc);
    EXPECT_EQ("", read("Software\\S", "missing", 260, &rc));
    EXPECT_EQ(0, rc);
    std::string exact(259, 'E');
    machine.registry.set_string("Software\\S", "exact", exact);
    EXPECT_EQ(exact, read("Software\\S", "exact", 260, &rc)) << "259 characters and terminator fit";
}

TEST_F(RegHelpersTest, ReadOnAMissingKeyLeavesTheBufferAlone) {
    char buffer[16] = "previous";
    EXPECT_EQ(0, reg_read_string("Software\\Missing", "x", buffer, sizeof buffer));
    EXPECT_STREQ("previous", buffer);
}

TEST_F(RegHelpersTest, KeyThatDeniesReadCountsAsAbsent) {
    machine.registry.create("Software\\Locked");
    sim::RegKey *key = machine.registry.find("Software\\Locked");
    key->security.has_dacl = true;
    key->security.owner_sid = "S-1-5-18";
    key->security.dacl.push_back(sim::AccessEntry{true, "S-1-5-18", KEY_ALL_ACCESS, 0});
    EXPECT_EQ(0, reg_key_exists("Software\\Locked"));
    EXPECT_EQ(1, reg_key_exists("Software"));
    EXPECT_EQ(0, reg_key_exists("Software\\Missing"));
}

TEST_F(RegHelpersTest, WritesStringWithTerminatorIntoAnExistingKeyOnly) {
    machine.registry.create("Software\\W");
    EXPECT_EQ(1, reg_write_string("Software\\W", "name", "text"));
    sim::RegValue *v = machine.registry.find("Software\\W")->value("name");
    ASSERT_NE(nullptr, v);
    EXPECT_EQ((DWORD)REG_SZ, v->type);
    EXPECT_EQ(bytes(std::string("text", 5)), v->data);
    EXPECT_EQ(0, reg_write_string("Software\\Nowhere", "name", "text"));
    EXPECT_EQ(nullptr, machine.registry.find("Software\\Nowhere")) << "no key is created";
}

TEST_F(RegHelpersTest, OpensWithTheAccessTheHelpersNeed) {
    machine.registry.create("Software\\W");
    char buffer[8];
    reg_read_string("Software\\W", "x", buffer, sizeof buffer);
    reg_write_string("Software\\W", "x", "y");
    auto opens = machine.calls_to("RegOpenKeyExA");
    ASSERT_EQ(2u, opens.size());
    EXPECT_EQ("Software\\W 0x20019", opens[0].detail) << "reading uses KEY_READ";
    EXPECT_EQ("Software\\W 0xF003F", opens[1].detail) << "writing uses KEY_ALL_ACCESS";
}

TEST_F(RegHelpersTest, DeletesAValueOnAnOpenKey) {
    machine.registry.set_string("Software\\D", "gone", "x");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\D", 0, KEY_ALL_ACCESS, &key));
    EXPECT_EQ(1, reg_delete_value_at(key, "GONE")) << "value names ignore case";
    EXPECT_EQ(0, reg_delete_value_at(key, "gone"));
    RegCloseKey(key);
    EXPECT_FALSE(machine.registry.has_value("Software\\D", "gone"));
}
