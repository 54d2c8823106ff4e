// The simulated key security: descriptors in both forms, the size query, the rights a handle
// needs, and the access check that follows a changed list.
#include <cstring>
#include <vector>

#include "platform/win32.h"
#include "sim/security_model.h"
#include "support/sim_test.h"

namespace {

class SimKeySecurity : public SimTest {
  protected:
    HKEY open(REGSAM access) {
        HKEY key = 0;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\K", 0, access, &key));
        return key;
    }
    void SetUp() override {
        SimTest::SetUp();
        k = machine.registry.create("Software\\K");
        k->security.has_dacl = true;
        k->security.dacl = {sim::AccessEntry{false, "S-1-1-0", KEY_SET_VALUE, 0},
                            sim::AccessEntry{true, "S-1-5-32-544", 0xF003F, 0}};
    }
    sim::RegKey *k = nullptr;
};

TEST_F(SimKeySecurity, SizeQueryThenRead) {
    HKEY key = open(READ_CONTROL);
    DWORD size = 100;
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, 0, &size));
    EXPECT_EQ(20u + 8u + 20u + 24u, size) << "header, ACL header, two entries with their SIDs";
    std::vector<BYTE> buffer(size);
    DWORD small = size - 1;
    EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER,
              RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, buffer.data(), &small));
    EXPECT_EQ(ERROR_SUCCESS, RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, buffer.data(), &size));
    EXPECT_TRUE(IsValidSecurityDescriptor(buffer.data()));
    EXPECT_EQ(size, GetSecurityDescriptorLength(buffer.data()));
    RegCloseKey(key);
}

TEST_F(SimKeySecurity, HandleNeedsReadControlAndWriteDac) {
    HKEY key = open(KEY_QUERY_VALUE);
    DWORD size = 0;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, 0, &size));
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, 0, FALSE);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd));
    RegCloseKey(key);
}

TEST_F(SimKeySecurity, ChangedListChangesTheAccessCheck) {
    HKEY denied = 0;
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\K", 0, KEY_ALL_ACCESS, &denied));
    HKEY key = open(WRITE_DAC);
    SECURITY_DESCRIPTOR sd;
    ASSERT_TRUE(InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&sd, TRUE, 0, FALSE));  // a NULL DACL
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd));
    RegCloseKey(key);
    HKEY opened = open(KEY_ALL_ACCESS);
    RegCloseKey(opened);
}

TEST_F(SimKeySecurity, AclRefusesAnEntryBeyondItsSize) {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID sid = 0;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 1, 4, 0, 0, 0, 0, 0, 0, 0, &sid));
    alignas(4) BYTE storage[64];
    PACL acl = reinterpret_cast<PACL>(storage);
    ASSERT_TRUE(InitializeAcl(acl, GetLengthSid(sid) + 15, ACL_REVISION));
    EXPECT_FALSE(AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, sid)) << "one byte short";
    EXPECT_EQ((DWORD)ERROR_ALLOTTED_SPACE_EXCEEDED, GetLastError());
    ASSERT_TRUE(InitializeAcl(acl, GetLengthSid(sid) + 16, ACL_REVISION));
    EXPECT_TRUE(AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, sid));
    EXPECT_TRUE(IsValidAcl(acl));
    FreeSid(sid);
}

TEST_F(SimKeySecurity, SelfRelativeDescriptorCannotTakeADaclPointer) {
    HKEY key = open(READ_CONTROL);
    DWORD size = 256;
    std::vector<BYTE> buffer(size);
    ASSERT_EQ(ERROR_SUCCESS, RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, buffer.data(), &size));
    EXPECT_FALSE(SetSecurityDescriptorDacl(buffer.data(), TRUE, 0, FALSE));
    RegCloseKey(key);
}

TEST_F(SimKeySecurity, Windows98HasNoKeySecurity) {
    use_os(3);
    HKEY key = open(KEY_ALL_ACCESS);
    DWORD size = 0;
    EXPECT_EQ(ERROR_CALL_NOT_IMPLEMENTED, RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, 0, &size));
    RegCloseKey(key);
}

}  // namespace
