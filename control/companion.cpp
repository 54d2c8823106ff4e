#include "control/companion.h"

#include <string.h>

#include "base/companion_name.h"
#include "base/run_record.h"
#include "control/main_flow.h"
#include "base/text_buffer.h"

// The quoted companion path, a blank and a command line of at most COMMAND_LINE_LIMIT bytes.
#define COMPANION_COMMAND_SIZE (PATH_SIZE + 3 + COMMAND_LINE_LIMIT + 1)

namespace {

int existing_file(const char *path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int run_companion(const char *command_line, HANDLE *mutex, DWORD *exit_code) {
    char own_path[PATH_SIZE];
    char companion[PATH_SIZE];
    char command[COMPANION_COMMAND_SIZE];
    DWORD length = GetModuleFileNameA(0, own_path, sizeof own_path);
    if (length == 0 || length >= sizeof own_path) return 0;
    if (!companion_path_of(own_path, companion, sizeof companion) || !existing_file(companion))
        return 0;
    if (!text_join(command, sizeof command, "\"", "", companion) ||
        !text_append(command, sizeof command, "\" ") ||
        !text_append(command, sizeof command, command_line))
        return 0;

    // The companion is the one instance from here on. Should a third uninstaller take the
    // mutex before the companion creates it, the companion ends with 4 and so does this run.
    CloseHandle(*mutex);
    *mutex = 0;
    STARTUPINFOA startup;
    PROCESS_INFORMATION started;
    memset(&startup, 0, sizeof startup);
    memset(&started, 0, sizeof started);
    startup.cb = sizeof startup;
    if (!CreateProcessA(companion, command, 0, 0, FALSE, 0, 0, 0, &startup, &started)) return 0;
    int waited = WaitForSingleObject(started.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                 GetExitCodeProcess(started.hProcess, exit_code);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return waited;
}
