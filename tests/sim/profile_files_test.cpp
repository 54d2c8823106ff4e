// The simulated profile-file functions keep the file as the platform does: every other line
// stays, an existing key is replaced in place, a new key ends its section, a new section ends
// the file; names are compared without regard to case.
#include <string>

#include "support/sim_test.h"

namespace {
const char *const kIni = "C:\\WINDOWS\\test.ini";
}

class ProfileFiles : public SimTest {
  protected:
    std::string content() {
        sim::FileNode *node = machine.files.find(kIni);
        return node ? node->content : std::string("(missing)");
    }
};


TEST_F(ProfileFiles, ExistingKeyIsReplacedInPlaceWithoutRegardToCase) {
    machine.files.write_file(kIni, "; head\r\n[One]\r\nalpha = 1\r\nbeta=2\r\n\r\n[Two]\r\nx=y\r\n");
    EXPECT_TRUE(WritePrivateProfileStringA("ONE", "ALPHA", "9", kIni));
    EXPECT_EQ("; head\r\n[One]\r\nALPHA=9\r\nbeta=2\r\n\r\n[Two]\r\nx=y\r\n", content());
}

TEST_F(ProfileFiles, NewKeyGoesBehindTheLastLineOfItsSection) {
    machine.files.write_file(kIni, "[One]\r\nalpha=1\r\n\r\n[Two]\r\nx=y\r\n");
    EXPECT_TRUE(WritePrivateProfileStringA("one", "gamma", "3", kIni));
    EXPECT_EQ("[One]\r\nalpha=1\r\ngamma=3\r\n\r\n[Two]\r\nx=y\r\n", content());
}

TEST_F(ProfileFiles, NewSectionGoesToTheEnd) {
    machine.files.write_file(kIni, "[One]\r\nalpha=1\r\n");
    EXPECT_TRUE(WritePrivateProfileStringA("rename", "NUL", "C:\\A", kIni));
    EXPECT_EQ("[One]\r\nalpha=1\r\n[rename]\r\nNUL=C:\\A\r\n", content());
}

TEST_F(ProfileFiles, TheStringFunctionKeepsOneLinePerKey) {
    EXPECT_TRUE(WritePrivateProfileStringA("rename", "NUL", "C:\\A", kIni));
    EXPECT_TRUE(WritePrivateProfileStringA("rename", "NUL", "C:\\B", kIni));
    EXPECT_EQ("[rename]\r\nNUL=C:\\B\r\n", content()) << "the second line replaced the first";
}

TEST_F(ProfileFiles, TheSectionFunctionsReadAndWriteRepeatedKeys) {
    machine.files.write_file(kIni, "[Other]\r\nk=v\r\n[rename]\r\n; note\r\nNUL=C:\\A\r\nC:\\X=C:\\Y\r\n");
    char buffer[256];
    DWORD n = GetPrivateProfileSectionA("RENAME", buffer, sizeof buffer, kIni);
    EXPECT_EQ(std::string("NUL=C:\\A\0C:\\X=C:\\Y\0", 19), std::string(buffer, n))
        << "comments are not part of the answer";
    EXPECT_TRUE(WritePrivateProfileSectionA("rename", "NUL=C:\\A\0NUL=C:\\B\0", kIni));
    EXPECT_EQ("[Other]\r\nk=v\r\n[rename]\r\nNUL=C:\\A\r\nNUL=C:\\B\r\n", content());
}

TEST_F(ProfileFiles, SectionTooLargeForTheBufferEndsInTwoTerminators) {
    machine.files.write_file(kIni, "[s]\r\nkey=0123456789\r\n");
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(6u, GetPrivateProfileSectionA("s", buffer, sizeof buffer, kIni)) << "size - 2";
    EXPECT_EQ('\0', buffer[6]);
    EXPECT_EQ('\0', buffer[7]);
}


TEST_F(ProfileFiles, BareFileNameLivesInTheWindowsDirectory) {
    EXPECT_TRUE(WritePrivateProfileStringA("rename", "NUL", "C:\\A", "wininit.ini"));
    EXPECT_TRUE(machine.files.exists("C:\\WINDOWS\\wininit.ini"));
    char buffer[32];
    EXPECT_EQ(4u, GetPrivateProfileStringA("rename", "nul", "", buffer, sizeof buffer, "wininit.ini"));
    EXPECT_STREQ("C:\\A", buffer);
}

TEST_F(ProfileFiles, ReadOnlyFileOrMissingFolderRefusesTheWrite) {
    machine.files.write_file(kIni, "[s]\r\n", FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", kIni));
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", "C:\\NOWHERE\\a.ini"));
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
}
