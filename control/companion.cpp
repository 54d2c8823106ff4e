#include "control/companion.h"

#include <string.h>

#include "base/companion_name.h"
#include "base/run_record.h"
#include "control/main_flow.h"
#include "base/text_buffer.h"

// The quoted companion path, a blank and a command line of at most COMMAND_LINE_LIMIT bytes.
#define COMPANION_COMMAND_SIZE (PATH_SIZE + 3 + COMMAND_LINE_LIMIT + 1)

namespace {

const unsigned int x64_machine = 0x8664;  // IMAGE_FILE_MACHINE_AMD64

int read_at(HANDLE file, LONG offset, void *data, DWORD size) {
    DWORD read = 0;
    return SetFilePointer(file, offset, 0, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ReadFile(file, data, size, &read, 0) && read == size;
}

// 1 when the file is an x86-64 Windows program by its PE header's machine field. Whatever else
// is named like the companion (a 32-bit program, a script) would run the uninstall under WOW64,
// where it cannot remove what the driver set left, and its exit code would be taken as ours.
int is_x64_program(HANDLE file) {
    unsigned char dos[64];
    if (!read_at(file, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return 0;
    unsigned long header = dos[0x3C] | dos[0x3D] << 8 | (unsigned long)dos[0x3E] << 16 |
                           (unsigned long)dos[0x3F] << 24;
    unsigned char pe[6];
    if (header > 0x7FFFFFFFUL || !read_at(file, (LONG)header, pe, sizeof pe)) return 0;
    return memcmp(pe, "PE\0\0", 4) == 0 && (unsigned int)(pe[4] | pe[5] << 8) == x64_machine;
}

}  // namespace

int run_companion(const char *command_line, HANDLE *mutex, DWORD *exit_code) {
    char own_path[PATH_SIZE];
    char companion[PATH_SIZE];
    char command[COMPANION_COMMAND_SIZE];
    DWORD length = GetModuleFileNameA(0, own_path, sizeof own_path);
    if (length == 0 || length >= sizeof own_path) return 0;
    if (!companion_path_of(own_path, companion, sizeof companion) ||
        !text_join(command, sizeof command, "\"", "", companion) ||
        !text_append(command, sizeof command, "\" ") ||
        !text_append(command, sizeof command, command_line))
        return 0;
    // Held open without write sharing until it has started, so that the file checked is the
    // file started.
    HANDLE image = CreateFileA(companion, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, 0);
    if (image == INVALID_HANDLE_VALUE) return 0;
    if (!is_x64_program(image)) {
        CloseHandle(image);
        return 0;
    }

    // The companion is the one instance from here on. Should a third uninstaller take the
    // mutex before the companion creates it, the companion ends with 4 and so does this run.
    CloseHandle(*mutex);
    *mutex = 0;
    STARTUPINFOA startup;
    PROCESS_INFORMATION started;
    memset(&startup, 0, sizeof startup);
    memset(&started, 0, sizeof started);
    startup.cb = sizeof startup;
    int started_ok = CreateProcessA(companion, command, 0, 0, FALSE, 0, 0, 0, &startup, &started);
    CloseHandle(image);
    if (!started_ok) return 0;
    int waited = WaitForSingleObject(started.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                 GetExitCodeProcess(started.hProcess, exit_code);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return waited;
}
