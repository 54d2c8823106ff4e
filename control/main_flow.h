// The main flow: one run from the command line to the exit code.
#ifndef K440_CONTROL_MAIN_FLOW_H
#define K440_CONTROL_MAIN_FLOW_H

#include "base/profile.h"
#include "platform/win32.h"

#define COMMAND_LINE_LIMIT 259
#define ARGUMENT_TEXT_SIZE 1024
#define MESSAGE_TEXT_SIZE 1024

// Runs the uninstaller with `profile` and returns the result code of the run.
int run_uninstaller(product_profile *profile, HINSTANCE instance, const char *command_line);

// Builds the text that is parsed: the command line, then " \t" and the profile's extra
// switches when it has any. Returns 0 when the command line is longer than 259 bytes or the
// whole text does not fit `size` bytes; such a text is refused, never cut.
int build_argument_text(char *buffer, size_t size, const char *command_line,
                        const char *extra_switches);

#endif
