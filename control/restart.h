// Restart and resume: offering a restart, restarting at once, and arranging one more run
// after the next restart.
#ifndef K440_CONTROL_RESTART_H
#define K440_CONTROL_RESTART_H

#include <stddef.h>

#include "base/run_record.h"

#include "base/profile.h"

#define RUN_ONCE_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce"
#define RESUME_SWITCH "-ignore_before_reboot_cmd"
#define RESUME_COMMAND_SIZE 260

// Asks the user whether to restart now, and restarts if the user agrees: the platform's
// prompt, or where it cannot be shown the profile's restart question. 1 when the restart was
// started.
int prompt_restart(const run_record *record);
// Restarts at once without asking; on the NT family after enabling SeShutdownPrivilege. 1 when
// the restart was started.
int force_restart(int os_class);

// The RunOnce command: the quoted program path, a blank and "-ignore_before_reboot_cmd". The
// path is quoted because the platform splits an unquoted command at its first blank, so that
// "C:\Program Files\..." would start "C:\Program.exe". Returns 0 (buffer empty) when the path
// is empty, holds a quote, or the command does not fit `size` bytes; it is never cut.
int build_resume_command(char *buffer, size_t size, const char *program_path);

// Writes the RunOnce entry named `value_name` that runs `program_path` once after the next
// restart. Returns 1 when the entry was written, 0 when the command could not be built or
// written.
int register_resume(const char *value_name, const char *program_path);

#endif
