// Deletion at restart on Windows 98/ME: the [rename] section of wininit.ini, which these
// systems carry out at their next start.
#ifndef K440_REMOVAL_WININIT_RENAME_H
#define K440_REMOVAL_WININIT_RENAME_H

#include "base/string_list.h"

// Hands every path of the list, in list order, to the next restart for deletion, and writes
// each hand-over to the run log. Returns how many paths that still exist got no line.
int schedule_wininit_renames(const string_list_entry *restart_list);

#endif
