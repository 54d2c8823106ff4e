// The uninstall record and the product record go last, after every device, key, value and
// file and after the hand-off of files in use to the restart: while anything of the driver set
// is left, the program can still be started from the list of installed programs, and it
// still finds the install folder, the files the record names and the removal plan. Only the
// program files of the run follow them (removal/run_programs.h).
#ifndef K440_REMOVAL_RECORDS_LAST_H
#define K440_REMOVAL_RECORDS_LAST_H

#include "base/run_record.h"

// 1 when the key path names the uninstall record or the product record of the run.
int is_record_key(const run_record *record, const char *key_path);
// Deletes the product record, then the uninstall record (with the plan in it), through the
// executor's `delete_key`; the number of the two still in place.
int delete_records(const run_record *record, int (*delete_key)(const char *key_path));

#endif
