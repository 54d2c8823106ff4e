// Deletion at the next restart of what the running system cannot delete: the platform's
// delayed deletion on the NT family, the [rename] section of wininit.ini on Windows 98/ME.
#ifndef K440_REMOVAL_RESTART_DELETION_H
#define K440_REMOVAL_RESTART_DELETION_H

#include "base/string_list.h"

// Hands every path of the list, in list order, to the next restart, and writes each hand-over
// to the run log. Returns how many paths that still exist could not be handed over.
int schedule_restart_deletion(const string_list_entry *restart_list, int os_class);
// NT family: registers one file (or empty folder) for deletion at the next start; 1 when the
// platform took it.
int mark_for_restart_delete(const char *path);

#endif
