// Under WOW64 the 32-bit program hands the run to its 64-bit companion (base/companion_name.h).
#ifndef K440_CONTROL_COMPANION_H
#define K440_CONTROL_COMPANION_H

#include <stddef.h>

#include "platform/win32.h"

// Runs the companion in this program's stead, with this program's command-line text, and
// waits for it. The single-instance mutex is handed over: it is closed (and *mutex set to 0)
// just before the companion starts, and the companion creates it anew. Returns 1 with the
// companion's exit code, or 0 when there is no companion or it could not be started.
int run_companion(const char *command_line, HANDLE *mutex, DWORD *exit_code);

#endif
