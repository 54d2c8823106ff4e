// The inventory driver: uninstall record, default ids and names, driver files in the system
// directories, extra keys, and paths that do not fit their buffers.
#include "inventory/collect_inventory.h"

#include <string>

#include "base/os_class.h"
#include "inventory/inventory_support.h"
#include "support/sim_test.h"

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class CollectInventory : public SimTest {
  protected:
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    void collect() {
        record = new_record();
        collect_inventory(&record);
    }
    void plant_uninstall(const std::string &name, const std::string &command) {
        machine.registry.set_string(kUninstall + "\\" + name, "UninstallString", command);
    }
    run_record record{};
};

TEST_F(CollectInventory, NothingInstalledLeavesOnlyIdsAndNames) {
    collect();
    EXPECT_EQ((std::vector<std::string>{"FFFF/0001", "0000"}), texts(record.device_ids))
        << "the profile's defaults, reversed";
    EXPECT_EQ((std::vector<std::string>{"K440dTCR"}), texts(record.device_names));
    EXPECT_TRUE(texts(record.keys_to_delete).empty());
    EXPECT_TRUE(texts(record.files_to_delete).empty());
    EXPECT_STREQ("C:\\WINDOWS", record.windows_dir);
    EXPECT_STREQ(process.module_path.c_str(), record.own_path);
    EXPECT_EQ(0, record.ids_from_record);
}

TEST_F(CollectInventory, UninstallRecordMatchesByFileNameOnly) {
    process.module_path = "D:\\tmp\\k440dtun.exe";
    plant_uninstall("Other", "C:\\Program Files\\Other\\Uninst.exe");
    plant_uninstall("K440dT", "C:\\Program Files\\X\\K440dTUn.EXE");
    collect();
    EXPECT_EQ((std::vector<std::string>{kUninstall + "\\K440dT"}), texts(record.keys_to_delete))
        << "folder and case do not matter, the file name does";
}

TEST_F(CollectInventory, OfTwoUninstallRecordsTheOneEnumeratedLastIsTaken) {
    plant_uninstall("First", "C:\\a\\K440dTUn.exe");
    plant_uninstall("Second", "C:\\b\\K440dTUn.exe");
    collect();
    EXPECT_EQ((std::vector<std::string>{kUninstall + "\\Second"}), texts(record.keys_to_delete));
}

TEST_F(CollectInventory, UninstallStringWithArgumentsOrQuotesIsNoMatch) {
    plant_uninstall("Args", "C:\\a\\K440dTUn.exe -quiet");
    plant_uninstall("Quoted", "\"C:\\a\\K440dTUn.exe\"");
    plant_uninstall("Bare", "K440dTUn.exe");
    collect();
    EXPECT_TRUE(texts(record.keys_to_delete).empty());
}

TEST_F(CollectInventory, UninstallSubkeyTooLongForTheKeyPathIsSkipped) {
    plant_uninstall("Fits", "C:\\a\\K440dTUn.exe");
    plant_uninstall(std::string(220, 'L'), "C:\\a\\K440dTUn.exe");  // enumerated last
    collect();
    EXPECT_EQ((std::vector<std::string>{kUninstall + "\\Fits"}), texts(record.keys_to_delete))
        << "the long name is neither cut nor taken; the scan goes on";
}

TEST_F(CollectInventory, OverlongProgramPathFindsNoRecordAndLeavesOwnPathEmpty) {
    process.module_path = "C:\\" + std::string(300, 'p') + "\\K440dTUn.exe";
    plant_uninstall("K440dT", "C:\\a\\K440dTUn.exe");
    collect();
    EXPECT_STREQ("", record.own_path) << "a cut path must not stand for the program";
    EXPECT_TRUE(texts(record.keys_to_delete).empty());
}

TEST_F(CollectInventory, NtDriverFileInDriversWinsOverSystem32) {
    machine.files.write_file("C:\\WINDOWS\\system32\\drivers\\K440dTuc.sys", "d");
    machine.files.write_file("C:\\WINDOWS\\system32\\K440dTuc.sys", "s");
    machine.files.write_file("C:\\WINDOWS\\system32\\K440dTcm.sys", "s");
    collect();
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\System32\\K440dTcm.sys",
                                        "C:\\WINDOWS\\System32\\Drivers\\K440dTuc.sys"}),
              texts(record.files_to_delete));
}

TEST_F(CollectInventory, LegacyDriverFileInSystemWinsOverSystem32Drivers) {
    use_os(OS_WIN98);
    machine.files.write_file("C:\\WINDOWS\\SYSTEM\\K440dTuc.sys", "a");
    machine.files.write_file("C:\\WINDOWS\\SYSTEM32\\DRIVERS\\K440dTuc.sys", "b");
    collect();
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\System\\K440dTuc.sys"}),
              texts(record.files_to_delete));
}

TEST_F(CollectInventory, MoreDriverFilesAreSearchedToo) {
    const char *const more[] = {"K440dTzz.sys", 0};
    profile.more_driver_files = more;
    machine.files.write_file("C:\\WINDOWS\\system32\\K440dTzz.sys", "z");
    collect();
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\System32\\K440dTzz.sys"}),
              texts(record.files_to_delete));
}

TEST_F(CollectInventory, ExtraKeysFollowTheirFamilyPrefix) {
    const char *const extra[] = {"-Software\\A", "+Software\\B", "Software\\C", 0};
    profile.extra_keys = extra;
    collect();
    EXPECT_EQ((std::vector<std::string>{"Software\\C", "Software\\B"}), texts(record.keys_to_delete))
        << "on Windows XP";
    free_run_lists(&record);
    use_os(OS_WIN98);
    collect();
    EXPECT_EQ((std::vector<std::string>{"Software\\C", "Software\\A"}), texts(record.keys_to_delete))
        << "on Windows 98";
}

TEST_F(CollectInventory, ServiceKeysAreQueuedOnNtOnly) {
    machine.registry.set_string("System\\CurrentControlSet\\Services\\K440dTuc", "ImagePath",
                                "System32\\DRIVERS\\K440dTuc.sys");
    collect();
    EXPECT_EQ((std::vector<std::string>{"System\\CurrentControlSet\\Services\\K440dTuc"}),
              texts(record.keys_to_delete));
    free_run_lists(&record);
    use_os(OS_WINME);
    collect();
    EXPECT_TRUE(texts(record.keys_to_delete).empty()) << "Windows ME has no service keys to look at";
}

TEST_F(CollectInventory, OverlongWindowsDirectorySearchesNoDriverFiles) {
    machine.windows_dir = "C:\\" + std::string(270, 'w');
    collect();
    EXPECT_STREQ("", record.windows_dir) << "a Windows directory that does not fit is not kept cut";
    EXPECT_TRUE(machine.calls_to("GetFileAttributesA").empty())
        << "no driver file is looked for relative to a missing Windows directory";
}

}  // namespace
