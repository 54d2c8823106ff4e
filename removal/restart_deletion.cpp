#include "removal/restart_deletion.h"

#include "base/os_class.h"
#include "base/run_log.h"
#include "platform/win32.h"
#include "removal/wininit_rename.h"

int mark_for_restart_delete(const char *path) {
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    if (MoveFileExA(path, 0, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        log_line("hand %s to the restart: done", path);
        return 1;
    }
    char failure[FAILURE_TEXT_SIZE];
    log_line("hand %s to the restart: %s", path, failure_text(GetLastError(), failure));
    return 0;
}

int schedule_restart_deletion(const string_list_entry *restart_list, int os_class) {
    if (os_class < OS_FIRST_NT) return schedule_wininit_renames(restart_list);
    int not_handed = 0;
    for (const string_list_entry *entry = restart_list; entry; entry = entry->next)
        if (!mark_for_restart_delete(entry->text) &&
            GetFileAttributesA(entry->text) != INVALID_FILE_ATTRIBUTES)
            ++not_handed;
    return not_handed;
}
