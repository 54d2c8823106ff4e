// The install-folder sweep cleans only a folder that can be the product's.
#include <gtest/gtest.h>

#include "removal/install_folder.h"
#include "removal/run_removal.h"
#include "support/sim_test.h"

TEST(InstallFolder, OnlyAFullPathBelowARootOutsideWindowsIsSwept) {
    const char *windows = "C:\\WINDOWS";
    struct {
        const char *folder;
        int sweepable;
    } cases[] = {
        {"C:\\Program Files\\halvenor\\K440dT", 1},
        {"C:\\Program Files\\halvenor\\K440dT\\", 1},
        {"D:\\Tools\\K440dT", 1},
        {"\\\\server\\share\\K440dT", 1},
        {"C:\\", 0},
        {"C:", 0},
        {"c:\\\\", 0},
        {"K440dT", 0},
        {"\\K440dT", 0},
        {"\\\\server\\share", 0},
        {"\\\\server\\\\share\\x", 0},
        {"C:\\WINDOWS", 0},
        {"c:\\windows\\", 0},
        {"C:\\Windows\\System32", 0},
        {"C:\\WINDOWS\\system32\\drivers", 0},
        {"C:\\WINDOWS2\\K440dT", 1},
        {"C:\\Tools\\.K440dT", 1},
        {"C:\\Program Files\\halvenor\\K440dT\\..\\..", 0},
        {"C:\\Program Files\\halvenor\\..\\K440dT", 0},
        {"C:\\WINDOWS\\system32\\..", 0},
        {"C:\\Program Files\\.\\K440dT", 0},
        {"C:\\Program Files\\K440dT\\.", 0},
        {"C:\\WINDOWS/system32", 0},
        {"C:\\WINDOWS.\\system32", 0},
        {"C:\\WINDOWS \\system32", 0},
        {"C:\\Program Files\\K440dT.", 0},
        {"C:\\Program Files\\K440dT.d\\x y", 1},
        {"C:/Program Files/halvenor/K440dT", 0},
        {"\\\\?\\C:\\WINDOWS\\system32", 0},
        {"\\\\.\\C:\\WINDOWS\\system32", 0},
        {"C:\\Program Files\\K440dT:stream", 0},
        {"C:\\Program Files\\K440*", 0},
        {"C:\\Program Files\\K440dT\t", 0},
        {"\\\\server\\share\\K440dT\\C:", 0},
        // Katakana "ポ" is 0x83 0x7C in code page 932: its trail byte is no '|'.
        {"C:\\Program Files\\\x83\x7C\\K440dT", 1},
        {"", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.sweepable, install_folder_is_sweepable(c.folder, windows)) << c.folder;
}

class InstallFolderSweep : public SimTest {};

TEST_F(InstallFolderSweep, ARecordNamingTheSystemFolderDeletesNothingThere) {
    machine.files.write_file("C:\\WINDOWS\\system32\\kernel32.dll", "k");
    machine.files.write_file("C:\\WINDOWS\\system32\\user32.dll", "u");
    machine.files.write_file("C:\\boot.ini", "b");
    for (const char *folder : {"C:\\WINDOWS\\system32", "C:\\"}) {
        run_record record = new_record();
        strcpy(record.windows_dir, "C:\\WINDOWS");
        strcpy(record.own_path, process.module_path.c_str());
        strcpy(record.install_dir, folder);
        EXPECT_EQ(0, run_removal(&record));
        // The fixed list's folders are listed with "*", the sweep's with "*.*".
        for (const sim::Call &c : machine.calls_to("FindFirstFileW"))
            for (const char *pattern : {"*.*", "\\*.*"})
                EXPECT_NE(folder + std::string(pattern), c.detail) << folder << " is never listed";
        free_run_lists(&record);
    }
    EXPECT_TRUE(machine.files.exists("C:\\WINDOWS\\system32\\kernel32.dll"));
    EXPECT_TRUE(machine.files.exists("C:\\WINDOWS\\system32\\user32.dll"));
    EXPECT_TRUE(machine.files.exists("C:\\boot.ini"));
}
