// Restart and resume: offering a restart, restarting at once, and arranging one more run
// after the next restart.
#ifndef K440_CONTROL_RESTART_H
#define K440_CONTROL_RESTART_H

void prompt_restart(void);
void force_restart(int os_class);
// Writes the RunOnce entry named `value_name` that runs `program_path` once after the next
// restart.
void register_resume(const char *value_name, const char *program_path);

#endif
