// The language of what a run shows, chosen once at start, after the command line's switches:
// the one "-language_english" or "-language_japanese" forces, else Japanese when the user's
// UI language is Japanese and English otherwise. Japanese is shown only where Windows can show
// it: on the NT family through the Unicode functions with the texts read as code page 932
// (without that code page the run shows English), on Windows 98/ME through the ANSI functions
// under the ANSI code page 932 alone. The language never changes what the run does or logs.
#ifndef K440_CONTROL_LANGUAGE_CHOICE_H
#define K440_CONTROL_LANGUAGE_CHOICE_H

#include "base/run_record.h"

// Sets the record's `language` and `unicode_texts`.
void choose_language(run_record *record);

#endif
