// The install-folder sweep against names that the ANSI code page cannot hold: the ANSI
// listing would hand back their best-fit look-alikes ("..\..\x" for "..¥..¥x" under code page
// 932), which name entries outside the folder. Nothing outside the folder may change.
#include <sstream>
#include <string>

#include "base/os_class.h"
#include "removal/run_removal.h"
#include "support/sim_test.h"

namespace {

const std::string kInstall = "C:\\Program Files\\halvenor\\K440dT";
const std::string kAbove = "C:\\Program Files\\halvenor";
const std::string kOutside = "C:\\Program Files\\outside-target.txt";

struct planted_name {
    const char *what;
    std::u16string name;      // the entry's true name
    const char *short_name;   // its 8.3 name; "" when the volume keeps none
    bool deleted;             // the sweep reaches it through a name that is its own
};

const planted_name kNames[] = {
    {"yen path to a file two folders up", u"..\u00A5..\u00A5outside-target.txt", "OUTSID~1.TXT", true},
    {"yen path without an 8.3 name", u"..\u00A5..\u00A5outside-target.txt", "", false},
    {"yen parent folder", u"..\u00A5", "", false},
    {"yen parent folder with an 8.3 name", u"..\u00A5", "__~1", true},
    {"accent that reads as the sibling cafe.txt", u"caf\u00E9.txt", "", false},
    {"accent with an 8.3 name", u"caf\u00E9.txt", "CAFE~1.TXT", true},
    {"Japanese name the code page holds", u"\u65E5\u672C.txt", "", true},
};

class BestFitSweep : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        record = new_record();
        strcpy(record.own_path, process.module_path.c_str());
        strcpy(record.windows_dir, "C:\\WINDOWS");
        strcpy(record.install_dir, kInstall.c_str());
        machine.files.write_file(process.module_path, "program");
        machine.files.write_file(kOutside, "not ours");
        machine.files.write_file(kAbove + "\\cafe.txt", "not ours either");
        machine.files.find(kAbove)->attributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
    }
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    // Every file and folder outside the install folder, with attributes and contents.
    std::string outside() const {
        std::istringstream lines(files_snapshot());
        std::string line, out;
        while (std::getline(lines, line))
            if (line.compare(0, kInstall.size() + 1, kInstall + "\\") != 0) out += line + "\n";
        return out;
    }
    std::vector<std::string> pending() const {
        std::vector<std::string> out;
        for (const sim::PendingRename &r : machine.pending_renames) out.push_back(r.source);
        return out;
    }
    run_record record{};
};

TEST_F(BestFitSweep, ANameIsSweptOnlyThroughANameOfItsOwn) {
    for (const planted_name &planted : kNames) {
        SCOPED_TRACE(planted.what);
        machine.files.remove(kInstall);
        machine.pending_renames.clear();
        machine.calls.clear();
        free_run_lists(&record);
        machine.files.write_file(process.module_path, "program");
        sim::FileNode *node =
            machine.files.write_unicode_file(kInstall, planted.name, planted.short_name, "planted");
        ASSERT_NE(nullptr, node);
        const sim::FileNode *folder = machine.files.find(kInstall);
        const std::string before = outside();
        run_removal(&record);
        EXPECT_EQ(before, outside()) << "nothing outside the install folder changes";
        bool still_there = false;
        for (const auto &child : folder->children) still_there |= child.get() == node;
        EXPECT_EQ(!planted.deleted, still_there);
        EXPECT_EQ((std::vector<std::string>{kInstall + "\\K440dT_del0.tmp"}), pending())
            << "only the running program waits for the restart";
        for (const char *function : {"DeleteFileA", "SetFileAttributesA", "MoveFileExA"})
            for (const sim::Call &c : machine.calls_to(function))
                EXPECT_TRUE(c.detail.find("Program Files") == std::string::npos ||
                            c.detail.find(kInstall + "\\") == 0)
                    << function << " " << c.detail;
    }
}

TEST_F(BestFitSweep, WindowsMeListsItsAnsiNamesAsTheyAre) {
    use_os(OS_WINME);
    record.os_class = OS_WINME;
    machine.files.write_file(kInstall + "\\readme.txt", "r");
    run_removal(&record);
    EXPECT_FALSE(machine.files.exists(kInstall + "\\readme.txt"));
    EXPECT_FALSE(machine.calls_to("FindFirstFileA").empty()) << "no Unicode listing on ME";
}

}  // namespace
