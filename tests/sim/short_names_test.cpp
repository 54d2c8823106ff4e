// GetShortPathNameA of the simulated platform: 8.3 names as a Windows 98/ME volume gives them.
#include <string>

#include "support/sim_test.h"

class ShortNames : public SimTest {
  protected:
    std::string short_of(const char *path) {
        char buffer[MAX_PATH];
        DWORD n = GetShortPathNameA(path, buffer, sizeof buffer);
        return n ? std::string(buffer, n) : std::string("(failed)");
    }
};

TEST_F(ShortNames, LongNamesGetAliasesAndShortNamesStayAsGiven) {
    machine.files.write_file("C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe", "x");
    EXPECT_EQ("C:\\PROGRA~1\\halvenor\\K440dT\\K440dTUn.exe",
              short_of("C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe"));
}

TEST_F(ShortNames, AliasesAreUniqueAmongSiblingsAndStable) {
    machine.files.make_dir("C:\\Program Files");
    machine.files.make_dir("C:\\Program Data");
    EXPECT_EQ("C:\\PROGRA~1", short_of("C:\\Program Files"));
    EXPECT_EQ("C:\\PROGRA~2", short_of("C:\\Program Data"));
    EXPECT_EQ("C:\\PROGRA~1", short_of("C:\\Program Files")) << "the alias is kept";
    EXPECT_EQ("C:\\PROGRA~2", short_of("C:\\PROGRA~2")) << "the alias itself resolves";
}

TEST_F(ShortNames, ExtensionAndUnusableCharactersFollowTheRules) {
    machine.files.write_file("C:\\d\\Read me.first.text", "x");
    machine.files.write_file("C:\\d\\a+b.txt", "x");
    EXPECT_EQ("C:\\d\\README~1.TEX", short_of("C:\\d\\Read me.first.text"));
    EXPECT_EQ("C:\\d\\A_B~1.TXT", short_of("C:\\d\\a+b.txt"));
}

TEST_F(ShortNames, MissingFileFails) {
    char buffer[MAX_PATH];
    EXPECT_EQ(0u, GetShortPathNameA("C:\\WINDOWS\\gone.txt", buffer, sizeof buffer));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_EQ(0u, GetShortPathNameA("C:\\NOWHERE\\gone.txt", buffer, sizeof buffer));
    EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
}

TEST_F(ShortNames, SmallBufferGetsTheNeededSizeAndStaysUntouched) {
    machine.files.write_file("C:\\WINDOWS\\a.txt", "x");
    char buffer[8] = "keep";
    EXPECT_EQ(17u, GetShortPathNameA("C:\\WINDOWS\\a.txt", buffer, sizeof buffer))
        << "16 bytes and the terminator";
    EXPECT_STREQ("keep", buffer);
}
