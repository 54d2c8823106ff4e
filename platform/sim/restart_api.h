// The restart prompt of the simulated platform (setupapi); ExitWindowsEx is in ui_api.h.
#ifndef K440_SIM_RESTART_API_H
#define K440_SIM_RESTART_API_H

#include "win_types.h"

#define SPFILEQ_REBOOT_RECOMMENDED 0x00000002
#define SPFILEQ_REBOOT_IN_PROGRESS 0x00000004

typedef PVOID HSPFILEQ_PROMPT;

INT SetupPromptReboot(PVOID file_queue, HWND owner, BOOL scan_only);

#endif
