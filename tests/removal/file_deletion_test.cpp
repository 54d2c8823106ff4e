// Immediate deletion and the NT family's deletion at restart.
#include "removal/file_deletion.h"
#include "removal/restart_deletion.h"

#include "base/os_class.h"
#include "support/sim_test.h"

namespace {

class FileDeletion : public SimTest {};

TEST_F(FileDeletion, ReadOnlyFileIsDeleted) {
    machine.files.write_file("C:\\Temp\\ro.sys", "x", FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(0, delete_file_now("C:\\Temp\\ro.sys"));
    EXPECT_FALSE(machine.files.exists("C:\\Temp\\ro.sys"));
}

TEST_F(FileDeletion, FolderAndMissingPathGiveZeroAndChangeNothing) {
    machine.files.make_dir("C:\\Temp\\Sub");
    std::string before = files_snapshot();
    EXPECT_EQ(0, delete_file_now("C:\\Temp\\Sub"));
    EXPECT_EQ(0, delete_file_now("C:\\Temp\\missing.sys"));
    EXPECT_EQ(before, files_snapshot());
}

TEST_F(FileDeletion, NtRestartListIsHandedOverInListOrder) {
    machine.files.write_file("C:\\P\\K440dTUn.exe", "p", FILE_ATTRIBUTE_READONLY);
    machine.files.make_dir("C:\\P\\Sub");
    string_list_entry *list = 0;
    push_string(&list, "C:\\P\\Sub");
    push_string(&list, "C:\\P\\K440dTUn.exe");
    run_record record = new_record(OS_WINXP);
    schedule_restart_deletion(list, &record);
    free_string_list(list);
    ASSERT_EQ(2u, machine.pending_renames.size());
    EXPECT_EQ("C:\\P\\K440dT_del0.tmp", machine.pending_renames[0].source) << "the file set aside";
    EXPECT_EQ("C:\\P\\Sub", machine.pending_renames[1].source) << "a folder keeps its name";
    EXPECT_EQ("", machine.pending_renames[0].target) << "no new name: deletion";
    EXPECT_EQ(0u, machine.files.find("C:\\P\\K440dT_del0.tmp")->attributes & FILE_ATTRIBUTE_READONLY)
        << "attributes are cleared so the restart can delete it";
}

TEST_F(FileDeletion, LegacyRestartListUsesNoDelayedMove) {
    use_os(OS_WIN98);
    machine.files.write_file("C:\\P\\a.txt", "a");
    string_list_entry *list = 0;
    push_string(&list, "C:\\P\\a.txt");
    run_record record = new_record(OS_WIN98);
    schedule_restart_deletion(list, &record);
    free_string_list(list);
    EXPECT_TRUE(machine.calls_to("MoveFileExA").empty()) << "Windows 98/ME has no delayed move";
    EXPECT_TRUE(machine.calls_to("SetFileAttributesA").empty()) << "nor are attributes changed";
}

}  // namespace
