#include "removal/restart_deletion.h"

#include "base/os_class.h"
#include "base/run_log.h"
#include "platform/win32.h"
#include "removal/set_aside.h"
#include "removal/wininit_rename.h"

namespace {

int still_there(const char *path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Registers one file (or empty folder) under its present name; 1 when the platform took it.
int mark_for_restart_delete(const char *path) {
    if (MoveFileExA(path, 0, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        log_line("hand %s to the restart: done", path);
        return 1;
    }
    char failure[FAILURE_TEXT_SIZE];
    log_line("hand %s to the restart: %s", path, failure_text(GetLastError(), failure));
    return 0;
}

// A folder (an emptied subfolder of the install folder) keeps its name: a reinstall makes
// its own and the restart removes only an empty one. Returns 1 when something stays that was
// not handed over.
int hand_over(const run_record *record, const char *path) {
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DWORD attributes = GetFileAttributesA(path);
    char aside[PATH_SIZE];
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !set_file_aside(record->profile, path, aside, sizeof aside))
        return !mark_for_restart_delete(path) && still_there(path);
    if (MoveFileExA(aside, 0, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        log_line("hand %s to the restart: renamed to %s, done", path, aside);
        return 0;
    }
    char failure[FAILURE_TEXT_SIZE];
    failure_text(GetLastError(), failure);
    // Nothing is to stay behind under a name the driver set never had.
    int back = MoveFileExA(aside, path, 0);
    log_line("hand %s to the restart: renamed to %s, %s, %s", path, aside, failure,
             back ? "renamed back" : "left under that name");
    return 1;
}

}  // namespace

int schedule_restart_deletion(const string_list_entry *restart_list, const run_record *record) {
    if (record->os_class < OS_FIRST_NT) return schedule_wininit_renames(restart_list);
    int not_handed = 0;
    for (const string_list_entry *entry = restart_list; entry; entry = entry->next)
        not_handed += hand_over(record, entry->text);
    return not_handed;
}
