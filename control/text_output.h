// How the texts of a run reach the screen. The ANSI functions read a text in the ANSI code
// page, so the profile's Japanese (code page 932) reads as garbage under any other code page.
// On the NT family a Japanese run therefore reads its texts as code page 932 itself and hands
// them to the Unicode functions, which show them right whatever the ANSI code page is. English
// texts are ASCII and go to the ANSI functions, as every text does on Windows 98/ME.
#ifndef K440_CONTROL_TEXT_OUTPUT_H
#define K440_CONTROL_TEXT_OUTPUT_H

#include "base/run_record.h"
#include "platform/win32.h"

// 1 when this Windows can show a code page 932 text through the Unicode functions: it has the
// functions and reads the sample as code page 932 (a Windows without East Asian support does
// not have that code page).
int unicode_output_works(const char *sample);

// Shows the dialog of the template `dialog_id` modally and returns what the platform returns.
// A run whose texts go to the Unicode functions makes a Unicode dialog: a dialog made by the
// ANSI function is an ANSI window, whose title a Unicode text reaches in the ANSI code page.
INT_PTR show_dialog(const run_record *record, HINSTANCE instance, int dialog_id,
                    DLGPROC procedure, LPARAM parameter);

// A message box of `text`, followed on a line of its own by `ansi_line` when that is given:
// a text in the ANSI code page, such as a path. Returns the box's answer.
int show_message(const run_record *record, const char *text, const char *ansi_line,
                 const char *caption, UINT style);

// The text of a window (a dialog's title) or of a dialog's control.
void show_window_text(const run_record *record, HWND window, const char *text);
void show_item_text(const run_record *record, HWND dialog, int item, const char *text);

#endif
