// Deletion at restart on Windows 98/ME: every leftover gets a line NUL=<short path> in the
// [rename] section of wininit.ini, behind the lines other programs left there, and the next
// start deletes exactly those files, leaving nothing behind on any drive.
#include "removal/wininit_rename.h"

#include <string>

#include "base/os_class.h"
#include "inventory/legacy_inventory_support.h"
#include "sim/restart_model.h"
#include "support/sim_test.h"

namespace {
const char *const kProgram = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe";
const char *const kHelper = "C:\\Program Files\\halvenor\\K440dT\\K440dT helper.dll";
}  // namespace

class WininitRename : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(OS_WIN98);
        machine.files.write_file(kProgram, "program");
        machine.files.write_file(kHelper, "helper");
    }
    void TearDown() override {
        free_string_list(restart_list);
        SimTest::TearDown();
    }
    std::string wininit() {
        sim::FileNode *node = machine.files.find(machine.windows_dir + "\\wininit.ini");
        return node ? node->content : std::string("(missing)");
    }
    void schedule(const strings &paths) {
        restart_list = list_of(paths);
        schedule_wininit_renames(restart_list);
    }
    string_list_entry *restart_list = 0;
};

TEST_F(WininitRename, EachLeftoverGetsItsOwnNulLineInListOrder) {
    schedule({kProgram, kHelper});
    EXPECT_EQ("[rename]\r\n"
              "NUL=C:\\PROGRA~1\\halvenor\\K440dT\\K440dTUn.exe\r\n"
              "NUL=C:\\PROGRA~1\\halvenor\\K440dT\\K440DT~1.DLL\r\n",
              wininit());
}

TEST_F(WininitRename, TheRestartDeletesTheLeftoversAndLeavesNoStrayFile) {
    std::string before = files_snapshot();
    schedule({kProgram, kHelper});
    sim::carry_out_restart(machine);
    EXPECT_FALSE(machine.files.exists(kProgram));
    EXPECT_FALSE(machine.files.exists(kHelper));
    for (const std::string &path : machine.files.list_all()) {
        EXPECT_EQ(std::string::npos, path.find("JUNK")) << "stray file " << path;
    }
    machine.files.remove("C:\\WINDOWS\\wininit.bak");
    machine.files.write_file(kProgram, "program");
    machine.files.write_file(kHelper, "helper");
    EXPECT_EQ(before, files_snapshot()) << "only the two leftovers went (and wininit.bak came)";
}

TEST_F(WininitRename, LinesOtherProgramsLeftAndOtherSectionsStay) {
    machine.files.write_file("C:\\WINDOWS\\wininit.ini",
                             "[Settings]\r\nKeep=1\r\n\r\n[Rename]\r\nNUL=C:\\OTHER\\OLD.TMP\r\n"
                             "C:\\WINDOWS\\SYSTEM\\X.DLL=C:\\WINDOWS\\SYSTEM\\X.NEW\r\n"
                             "\r\n[Last]\r\nz=1\r\n");
    schedule({kProgram});
    EXPECT_EQ("[Settings]\r\nKeep=1\r\n\r\n[Rename]\r\nNUL=C:\\OTHER\\OLD.TMP\r\n"
              "C:\\WINDOWS\\SYSTEM\\X.DLL=C:\\WINDOWS\\SYSTEM\\X.NEW\r\n"
              "NUL=C:\\PROGRA~1\\halvenor\\K440dT\\K440dTUn.exe\r\n[Last]\r\nz=1\r\n",
              wininit());
}

TEST_F(WininitRename, SecondRunBeforeTheRestartAddsNoDuplicate) {
    schedule({kProgram});
    std::string first = wininit();
    schedule_wininit_renames(restart_list);
    EXPECT_EQ(first, wininit());
}

TEST_F(WininitRename, LeftoverThatHasGoneGetsNoLine) {
    schedule({"C:\\Program Files\\halvenor\\K440dT\\gone.txt", kProgram});
    EXPECT_EQ("[rename]\r\nNUL=C:\\PROGRA~1\\halvenor\\K440dT\\K440dTUn.exe\r\n", wininit());
}

TEST_F(WininitRename, NothingToScheduleLeavesNoWininitFile) {
    schedule({});
    EXPECT_FALSE(machine.files.exists("C:\\WINDOWS\\wininit.ini"))
        << "an empty wininit.ini would outlive the restart";
}

TEST_F(WininitRename, WindowsOnAnotherDriveStillDeletesInPlace) {
    machine.windows_dir = "D:\\WIN98";
    machine.files.make_dir("D:\\WIN98");
    machine.files.write_file("D:\\APPS\\K440dT\\K440dTUn.exe", "program");
    schedule({"D:\\APPS\\K440dT\\K440dTUn.exe"});
    sim::carry_out_restart(machine);
    EXPECT_FALSE(machine.files.exists("D:\\APPS\\K440dT\\K440dTUn.exe"));
    EXPECT_EQ(nullptr, machine.files.find("C:\\JUNKXXXX0.TMP"));
    EXPECT_TRUE(machine.files.exists("D:\\WIN98\\wininit.bak"));
}

TEST_F(WininitRename, ReadOnlyLeftoverIsClearedSoTheStartCanDeleteIt) {
    machine.files.find(kProgram)->attributes = FILE_ATTRIBUTE_READONLY;
    schedule({kProgram});
    sim::carry_out_restart(machine);
    EXPECT_FALSE(machine.files.exists(kProgram));
}

TEST_F(WininitRename, FullSectionIsLeftUntouchedRatherThanCut) {
    std::string big = "[rename]\r\n";
    for (int i = 0; big.size() < 40000; ++i) big += "NUL=C:\\TEMP\\OLD" + std::to_string(i) + ".TMP\r\n";
    machine.files.write_file("C:\\WINDOWS\\wininit.ini", big);
    schedule({kProgram});
    EXPECT_EQ(big, wininit()) << "rewriting a section read only in part would lose its tail";
}

TEST_F(WininitRename, LinesThatWouldOverfillTheSectionAreLeftOut) {
    // 1365 lines of 24 bytes each with its terminator: 32760 of the 32768 bytes a section
    // may hold on these systems.
    std::string big = "[rename]\r\n";
    for (int i = 0; i < 1365; ++i) big += "NUL=C:\\TEMP\\OLDFILE.TMP\r\n";
    machine.files.write_file("C:\\WINDOWS\\wininit.ini", big);
    machine.files.write_file("C:\\TEMP\\A.TMP", "x");
    schedule({"C:\\TEMP\\A.TMP", kProgram});
    EXPECT_EQ(big, wininit()) << "neither line fits; the other lines stay as they were";
}
