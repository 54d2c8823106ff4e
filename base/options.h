// Command-line switches: the one parser that the command line, the profile's extra switches
// and the product registry record's switch text all go through.
#ifndef K440_BASE_OPTIONS_H
#define K440_BASE_OPTIONS_H

#include "base/run_record.h"

// Parses a switch text into the record's flags. Returns 0 when the whole text was parsed,
// 8 at a switch that is not known, 10 when "-ensure_win" names another system. Flags set
// before a failure stay set.
int parse_options(const char *text, run_record *record);

// 1 when a word of the text (outside double quotes) starts with "/": a switch in the form other
// installers take ("/quiet", "/norestart"), which this parser would pass over unread.
int has_slash_word(const char *text);

// Tests the OS word at `text` against `os_class`: stores 1 (accepted) or 0 into *verdict and
// returns the position after the word, or `text` itself when no word matches (verdict 0).
const char *match_os_word(const char *text, int os_class, int *verdict);

#endif
