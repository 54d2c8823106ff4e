// What the simulated restart of Windows 98/ME does with wininit.ini: its [rename] section,
// carried out as the start carries it out.
#include <string>

#include "base/os_class.h"
#include "sim/restart_model.h"
#include "support/sim_test.h"

class WininitRestart : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(OS_WINME);
    }
    void wininit(const std::string &text) { machine.files.write_file("C:\\WINDOWS\\wininit.ini", text); }
};

TEST_F(WininitRestart, NulLinesDeleteRenameLinesReplaceAndTheFileBecomesTheBackup) {
    machine.files.write_file("C:\\TEMP\\old.dll", "old");
    machine.files.write_file("C:\\TEMP\\new.dll", "new");
    machine.files.write_file("C:\\TEMP\\junk.tmp", "junk");
    wininit("[Rename]\r\n; comment\r\n C:\\TEMP\\old.dll = C:\\TEMP\\new.dll\r\nnul=C:\\TEMP\\junk.tmp\r\n");
    sim::carry_out_restart(machine);
    ASSERT_TRUE(machine.files.exists("C:\\TEMP\\old.dll"));
    EXPECT_EQ("new", machine.files.find("C:\\TEMP\\old.dll")->content) << "the target was replaced";
    EXPECT_FALSE(machine.files.exists("C:\\TEMP\\new.dll"));
    EXPECT_FALSE(machine.files.exists("C:\\TEMP\\junk.tmp"));
    EXPECT_FALSE(machine.files.exists("C:\\WINDOWS\\wininit.ini"));
    EXPECT_TRUE(machine.files.exists("C:\\WINDOWS\\wininit.bak"));
}

TEST_F(WininitRestart, NulDoesNotDeleteFoldersOrReadOnlyFiles) {
    machine.files.make_dir("C:\\KEEP");
    machine.files.write_file("C:\\ro.txt", "x", FILE_ATTRIBUTE_READONLY);
    wininit("[rename]\r\nNUL=C:\\KEEP\r\nNUL=C:\\ro.txt\r\n");
    sim::RestartReport report = sim::carry_out_restart(machine);
    EXPECT_TRUE(machine.files.exists("C:\\KEEP"));
    EXPECT_TRUE(machine.files.exists("C:\\ro.txt"));
    EXPECT_EQ(2u, report.failed.size());
}

TEST_F(WininitRestart, FileWithoutRenameLinesIsLeftAsItIs) {
    wininit("[other]\r\na=b\r\n");
    sim::carry_out_restart(machine);
    EXPECT_TRUE(machine.files.exists("C:\\WINDOWS\\wininit.ini"));
    EXPECT_FALSE(machine.files.exists("C:\\WINDOWS\\wininit.bak"));
}
