#include "removal/restart_deletion.h"

#include "base/os_class.h"
#include "platform/win32.h"
#include "removal/wininit_rename.h"

void mark_for_restart_delete(const char *path) {
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    MoveFileExA(path, 0, MOVEFILE_DELAY_UNTIL_REBOOT);
}

void schedule_restart_deletion(const string_list_entry *restart_list, int os_class) {
    if (os_class < OS_FIRST_NT) {
        schedule_wininit_renames(restart_list);
        return;
    }
    for (const string_list_entry *entry = restart_list; entry; entry = entry->next)
        mark_for_restart_delete(entry->text);
}
