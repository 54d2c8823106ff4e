// Deletion at the next restart of what the running system cannot delete: the platform's
// delayed deletion on the NT family, the [rename] section of wininit.ini on Windows 98/ME.
#ifndef K440_REMOVAL_RESTART_DELETION_H
#define K440_REMOVAL_RESTART_DELETION_H

#include "base/run_record.h"
#include "base/string_list.h"

// Hands every path of the list, in list order, to the next restart, and writes each hand-over
// to the run log. On the NT family a file is first set aside under a name of its own
// (removal/set_aside.h), so that the restart deletes only it. Returns how many paths that
// still exist could not be handed over.
int schedule_restart_deletion(const string_list_entry *restart_list, const run_record *record);

#endif
