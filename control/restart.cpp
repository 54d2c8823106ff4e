#include "control/restart.h"

#include <string.h>

#include "base/os_class.h"
#include "base/reg_helpers.h"
#include "base/run_log.h"
#include "base/text_buffer.h"
#include "control/text_output.h"
#include "platform/win32.h"

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
        // Its answer is not asked: without the privilege (ERROR_NOT_ALL_ASSIGNED) the restart
        // is tried anyway and its own failure is what the run reports.
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, 0, 0);
    }
    CloseHandle(token);
}

// Where the platform's prompt cannot be shown (setupapi.dll lacks it, or it fails), the
// program asks the same question itself and restarts as the prompt would, without forcing.
int prompt_restart(const run_record *record) {
    int answer = SetupPromptReboot(0, 0, FALSE);
    if (answer != -1) return (answer & SPFILEQ_REBOOT_IN_PROGRESS) != 0;
    char failure[FAILURE_TEXT_SIZE];
    failure_text(GetLastError(), failure);
    const product_profile *profile = record->profile;
    int restart = show_message(record, text_in(profile->restart_question, record->language), 0,
                               text_in(profile->restart_caption, record->language),
                               MB_YESNO | MB_ICONQUESTION) == IDYES;
    log_line("offer the restart: the platform's prompt %s; the program asked, answer %s", failure,
             restart ? "restart now" : "later");
    if (!restart) return 0;
    if (record->os_class >= OS_FIRST_NT) enable_shutdown_privilege();
    return ExitWindowsEx(EWX_REBOOT, 0) != 0;
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
