// The program files of a run: the running program and, in the 64-bit companion's run, the
// 32-bit program waiting for it. Neither can be deleted while it runs, so both go to the
// restart, and they go last of all, after the records: while the records exist, the program
// that the list of installed programs starts from them exists too.
#ifndef K440_REMOVAL_RUN_PROGRAMS_H
#define K440_REMOVAL_RUN_PROGRAMS_H

#include "base/run_record.h"

// What the log calls the path when it is a program file of the run, else 0.
const char *program_of_the_run(const run_record *record, const char *path);
// 1 when the install-folder sweep of the run would reach `path`: the sweep runs (no
// -leave_source, a folder it may clean), the path names an entry directly in that folder and,
// under -prefix_only, the entry's name begins with the short name.
int sweep_reaches(const run_record *record, const char *path);

#endif
