#include "control/companion.h"

#include <string.h>

#include "control/main_flow.h"
#include "control/mbtext.h"
#include "control/run_record.h"
#include "control/text_buffer.h"

#define COMPANION_SUFFIX "64"
// The quoted companion path, a blank and a command line of at most COMMAND_LINE_LIMIT bytes.
#define COMPANION_COMMAND_SIZE (PATH_SIZE + 3 + COMMAND_LINE_LIMIT + 1)

namespace {

// Where the extension of the file name at the end of `path` begins (its terminator when the
// name has none).
char *extension_of(char *path) {
    char *name = mb_find_last_char(path, '\\');
    name = name ? name + 1 : path;
    char *dot = mb_find_last_char(name, '.');
    return dot ? dot : name + strlen(name);
}

int existing_file(const char *path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int companion_path_of(const char *program_path, char *buffer, size_t size) {
    char extension[PATH_SIZE];
    if (!text_copy(buffer, size, program_path)) return 0;
    char *at = extension_of(buffer);
    if (!text_copy(extension, sizeof extension, at)) return 0;
    *at = '\0';
    if (!text_append(buffer, size, COMPANION_SUFFIX) || !text_append(buffer, size, extension)) {
        buffer[0] = '\0';
        return 0;
    }
    return 1;
}

int program_path_of(const char *companion_path, char *buffer, size_t size) {
    if (!text_copy(buffer, size, companion_path)) return 0;
    char *at = extension_of(buffer);
    char *name = mb_find_last_char(buffer, '\\');
    name = name ? name + 1 : buffer;
    size_t suffix = strlen(COMPANION_SUFFIX);
    if ((size_t)(at - name) <= suffix || strncmp(at - suffix, COMPANION_SUFFIX, suffix) != 0) {
        buffer[0] = '\0';
        return 0;
    }
    memmove(at - suffix, at, strlen(at) + 1);
    return 1;
}

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
