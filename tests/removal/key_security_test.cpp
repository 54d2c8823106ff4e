// Saving, granting and restoring a key's access list, through the platform's descriptors.
#include "removal/key_security.h"

#include "sim/security_model.h"
#include "support/sim_test.h"

namespace {

class KeySecurityTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        key = machine.registry.create("Software\\Guarded");
        key->security.has_dacl = true;
        key->security.dacl = {sim::AccessEntry{true, "S-1-5-18", 0xF003F, 0x2},
                              sim::AccessEntry{false, "S-1-1-0", 0x2, 0}};
    }
    sim::RegKey *key = nullptr;
};

TEST_F(KeySecurityTest, SaveGivesASelfRelativeDescriptorOfTheReportedSize) {
    PSECURITY_DESCRIPTOR saved = 0;
    ASSERT_EQ(1, save_key_security("Software\\Guarded", &saved));
    ASSERT_NE(nullptr, saved);
    const SECURITY_DESCRIPTOR_RELATIVE *sd = static_cast<const SECURITY_DESCRIPTOR_RELATIVE *>(saved);
    EXPECT_TRUE(sd->Control & SE_SELF_RELATIVE);
    EXPECT_TRUE(sd->Control & SE_DACL_PRESENT);
    EXPECT_EQ(0u, sd->Owner) << "only the access list is asked for";
    release_key_security(saved);
}

TEST_F(KeySecurityTest, SaveFailsForAMissingKey) {
    PSECURITY_DESCRIPTOR saved = (PSECURITY_DESCRIPTOR)1;
    EXPECT_EQ(0, save_key_security("Software\\Missing", &saved));
    EXPECT_EQ(nullptr, saved);
}

TEST_F(KeySecurityTest, GrantReplacesTheListByOneInteractiveEntry) {
    std::string owner = key->security.owner_sid;
    ASSERT_EQ(1, grant_key_access("Software\\Guarded", KEY_ALL_ACCESS));
    ASSERT_TRUE(key->security.has_dacl);
    ASSERT_EQ(1u, key->security.dacl.size()) << "every earlier entry is replaced";
    const sim::AccessEntry &e = key->security.dacl[0];
    EXPECT_TRUE(e.allow);
    EXPECT_EQ("S-1-5-4", e.sid) << "INTERACTIVE";
    EXPECT_EQ((DWORD)KEY_ALL_ACCESS, e.mask);
    EXPECT_EQ(0, e.flags) << "no inheritance";
    EXPECT_EQ(owner, key->security.owner_sid) << "the owner is not touched";
    for (const sim::Call &c : machine.calls_to("InitializeAcl"))
        EXPECT_EQ("28 2", c.detail) << "length is the SID's 12 bytes plus 16, revision 2";
}

TEST_F(KeySecurityTest, RestorePutsTheSavedListBack) {
    PSECURITY_DESCRIPTOR saved = 0;
    ASSERT_EQ(1, save_key_security("Software\\Guarded", &saved));
    ASSERT_EQ(1, grant_key_access("Software\\Guarded", KEY_ALL_ACCESS));
    EXPECT_EQ(1, restore_key_security("Software\\Guarded", saved));
    release_key_security(saved);
    ASSERT_EQ(2u, key->security.dacl.size());
    EXPECT_EQ("S-1-5-18", key->security.dacl[0].sid);
    EXPECT_EQ(0x2, key->security.dacl[0].flags) << "inheritance flags come back as they were";
    EXPECT_FALSE(key->security.dacl[1].allow);
}

TEST_F(KeySecurityTest, GrantFailsWithoutWriteDac) {
    key->security.owner_sid = "S-1-5-18";
    EXPECT_EQ(0, grant_key_access("Software\\Guarded", KEY_ALL_ACCESS));
    EXPECT_EQ(2u, key->security.dacl.size());
}

}  // namespace
