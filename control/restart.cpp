#include "control/restart.h"

#include <string.h>

#include "base/os_class.h"
#include "base/reg_helpers.h"
#include "base/text_buffer.h"
#include "platform/win32.h"

int prompt_restart(void) {
    int answer = SetupPromptReboot(0, 0, FALSE);
    return answer != -1 && (answer & SPFILEQ_REBOOT_IN_PROGRESS) != 0;
}

// The NT family restarts only for a process whose token has SeShutdownPrivilege enabled.
static void enable_shutdown_privilege(void) {
    HANDLE token = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES privileges;
    memset(&privileges, 0, sizeof privileges);
    if (LookupPrivilegeValueA(0, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, 0, 0);
        GetLastError();  // ERROR_NOT_ALL_ASSIGNED changes nothing: the restart is tried anyway
    }
    CloseHandle(token);
}

int force_restart(int os_class) {
    if (os_class >= OS_FIRST_NT) enable_shutdown_privilege();
    return ExitWindowsEx(EWX_REBOOT | EWX_FORCE, 0) != 0;
}

int build_resume_command(char *buffer, size_t size, const char *program_path) {
    if (size) buffer[0] = '\0';
    if (!program_path || !program_path[0] || strchr(program_path, '"')) return 0;
    if (!text_copy(buffer, size, "\"") || !text_append(buffer, size, program_path) ||
        !text_append(buffer, size, "\" " RESUME_SWITCH)) {
        if (size) buffer[0] = '\0';
        return 0;
    }
    return 1;
}

int register_resume(const char *value_name, const char *program_path) {
    char command[RESUME_COMMAND_SIZE];
    if (!value_name || !build_resume_command(command, sizeof command, program_path)) return 0;
    return reg_write_string(RUN_ONCE_KEY, value_name, command);
}
