// The removal sequence: family steps, the lists, and the install-folder sweep with its
// restart list.
#include "removal/run_removal.h"

#include <string>

#include "base/os_class.h"
#include "support/sim_test.h"

namespace {

const std::string kInstall = "C:\\Program Files\\halvenor\\K440dT";
const std::string kProgramAside = kInstall + "\\K440dT_del0.tmp";  // the program set aside

class RunRemoval : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        record = new_record();
        strcpy(record.own_path, process.module_path.c_str());
        strcpy(record.windows_dir, "C:\\WINDOWS");
        strcpy(record.install_dir, kInstall.c_str());
        machine.files.write_file(process.module_path, "program");
        machine.files.write_file(kInstall + "\\readme.txt", "r");
        machine.files.write_file(kInstall + "\\K440dTab.ini", "i", FILE_ATTRIBUTE_READONLY);
        machine.files.make_dir(kInstall + "\\Sub");
    }
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    // The sweep's listings of the install folder (the fixed list's folders are listed with "*").
    size_t sweeps(const std::string &pattern = "*.*") const {
        size_t n = 0;
        for (const sim::Call &c : machine.calls_to("FindFirstFileW")) n += c.detail == kInstall + "\\" + pattern;
        return n;
    }
    std::vector<std::string> pending() const {
        std::vector<std::string> out;
        for (const sim::PendingRename &r : machine.pending_renames) out.push_back(r.source);
        return out;
    }
    run_record record{};
};

TEST_F(RunRemoval, SweepDeletesWhatItCanAndHandsTheRestToTheRestart) {
    EXPECT_EQ(0, run_removal(&record));
    EXPECT_FALSE(machine.files.exists(kInstall + "\\readme.txt"));
    EXPECT_FALSE(machine.files.exists(kInstall + "\\K440dTab.ini")) << "read-only is no obstacle";
    EXPECT_EQ((std::vector<std::string>{kInstall + "\\Sub", kProgramAside}), pending())
        << "the subfolder and the program, never '.' or '..'";
    for (const sim::Call &c : machine.calls_to("DeleteFileA"))
        EXPECT_NE(process.module_path, c.detail) << "the running program is never tried";
    EXPECT_TRUE(machine.files.exists(kInstall)) << "the folder itself stays";
}

// While the records exist, the program they start exists: its hand-off is the run's last
// change, also when the product record lists the program among its files.
TEST_F(RunRemoval, TheProgramGoesToTheRestartAfterTheRecords) {
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset";
    machine.registry.create(uninstall);
    strcpy(record.uninstall_key, uninstall.c_str());
    push_string(&record.keys_to_delete, uninstall.c_str());
    push_string(&record.files_to_delete, process.module_path.c_str());
    EXPECT_EQ(0, run_removal(&record));
    std::vector<std::string> order;
    for (const sim::Call &c : machine.calls)
        if (c.function == "MoveFileExA" || c.function == "RegDeleteKeyA") order.push_back(c.detail);
    ASSERT_EQ(4u, order.size()) << "the subfolder, the record, the program set aside: each once";
    EXPECT_NE(std::string::npos, order[0].find("\\Sub")) << "the leftovers keep their place";
    EXPECT_NE(std::string::npos, order[1].find(uninstall));
    EXPECT_EQ(0u, order[2].find(process.module_path)) << "the program goes last";
    EXPECT_EQ(0u, order[3].find(kProgramAside));
}

TEST_F(RunRemoval, AFolderWithATrailingBackslashIsSweptTheSameWay) {
    strcpy(record.install_dir, (kInstall + "\\\\").c_str());
    run_removal(&record);
    EXPECT_FALSE(machine.files.exists(kInstall + "\\readme.txt"));
    EXPECT_EQ((std::vector<std::string>{kInstall + "\\Sub", kProgramAside}), pending())
        << "entries named from the folder as written without its trailing backslashes";
    for (const sim::Call &c : machine.calls_to("DeleteFileA"))
        EXPECT_EQ(std::string::npos, c.detail.find("K440dTUn.exe")) << "the running program is never tried";
}

TEST_F(RunRemoval, SweepLeavesTheFolderAndTheFolderAboveAsTheyAre) {
    // A folder customised by desktop.ini carries the read-only (or system) attribute, and the
    // folder above the install folder is shared with the vendor's other products.
    const DWORD customised = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY;
    machine.files.find("C:\\Program Files\\halvenor")->attributes = customised;
    machine.files.find(kInstall)->attributes = customised | FILE_ATTRIBUTE_HIDDEN;
    run_removal(&record);
    EXPECT_EQ(customised, machine.files.find("C:\\Program Files\\halvenor")->attributes);
    EXPECT_EQ(customised | FILE_ATTRIBUTE_HIDDEN, machine.files.find(kInstall)->attributes);
    for (const char *function : {"SetFileAttributesA", "DeleteFileA"})
        for (const sim::Call &c : machine.calls_to(function))
            EXPECT_EQ(std::string::npos, c.detail.find("\\.")) << function << " " << c.detail;
}

TEST_F(RunRemoval, NtWithNoDeviceNeedsARestart) {
    run_removal(&record);
    EXPECT_EQ(1, record.restart_needed) << "device removal ran";
}

TEST_F(RunRemoval, LegacyDeletesTheDriverIndexAndAlwaysNeedsARestart) {
    use_os(OS_WIN98);
    record.os_class = OS_WIN98;
    record.install_dir[0] = '\0';
    machine.files.write_file("C:\\WINDOWS\\inf\\drvidx.bin", "i");
    machine.files.write_file("C:\\WINDOWS\\inf\\drvdata.bin", "d");
    run_removal(&record);
    EXPECT_FALSE(machine.files.exists("C:\\WINDOWS\\inf\\drvidx.bin"));
    EXPECT_FALSE(machine.files.exists("C:\\WINDOWS\\inf\\drvdata.bin"));
    EXPECT_EQ(1, record.restart_needed);
    EXPECT_TRUE(machine.calls_to("RegCreateKeyExA").empty()) << "UsbFlags are not touched";
}

TEST_F(RunRemoval, LeaveSourceSkipsOnlyTheSweep) {
    record.leave_source = 1;
    machine.registry.create("Software\\TAVO\\X");
    machine.files.write_file("C:\\WINDOWS\\system32\\K440dTuc.sys", "d");
    push_string(&record.keys_to_delete, "Software\\TAVO\\X");
    push_string(&record.files_to_delete, "C:\\WINDOWS\\system32\\K440dTuc.sys");
    run_removal(&record);
    EXPECT_EQ(nullptr, machine.registry.find("Software\\TAVO\\X"));
    EXPECT_FALSE(machine.files.exists("C:\\WINDOWS\\system32\\K440dTuc.sys"));
    EXPECT_TRUE(machine.files.exists(kInstall + "\\readme.txt"));
    EXPECT_EQ(0u, sweeps());
}

TEST_F(RunRemoval, PrefixOnlyTouchesEntriesWithTheShortName) {
    record.prefix_only = 1;
    run_removal(&record);
    EXPECT_TRUE(machine.files.exists(kInstall + "\\readme.txt"));
    EXPECT_FALSE(machine.files.exists(kInstall + "\\K440dTab.ini"));
    EXPECT_EQ((std::vector<std::string>{kProgramAside}), pending());
    EXPECT_EQ(1u, sweeps("K440dT*.*")) << "the NT family lists in Unicode";
    EXPECT_EQ(0u, sweeps());
}

TEST_F(RunRemoval, EmptyInstallDirEndsAfterTheFixedFiles) {
    record.install_dir[0] = '\0';
    machine.files.write_file("C:\\Windows\\inf\\K440dTuc.inf", "x");
    run_removal(&record);
    EXPECT_FALSE(machine.files.exists("C:\\Windows\\inf\\K440dTuc.inf")) << "a fixed file";
    EXPECT_EQ(0u, sweeps());
    EXPECT_TRUE(pending().empty());
}

TEST_F(RunRemoval, EntryWhosePathDoesNotFitIsLeftAlone) {
    std::string dir = "C:\\" + std::string(200, 'd');
    std::string name(58, 'n');  // dir + "\" + name is 262 characters
    machine.files.write_file(dir + "\\" + name, "long");
    machine.files.write_file(dir + "\\short.txt", "s");
    strcpy(record.install_dir, dir.c_str());
    run_removal(&record);
    EXPECT_TRUE(machine.files.exists(dir + "\\" + name)) << "never cut into another name";
    EXPECT_FALSE(machine.files.exists(dir + "\\short.txt"));
    EXPECT_TRUE(pending().empty()) << "and not scheduled either";
}

}  // namespace
