// What the machine as it is now vouches for in a kept plan. The plan is only a record of what
// an earlier run set out to remove; an entry that the fresh inventory did not find is taken
// only where the rules of a fresh finding still say it is the driver set's, or where it is gone
// already (deleting it again changes nothing). Anything else in a plan is refused: a plan
// naming kernel32.dll or Services\Tcpip must not widen what a run touches.
#ifndef K440_INVENTORY_KEPT_PLAN_CHECKS_H
#define K440_INVENTORY_KEPT_PLAN_CHECKS_H

#include "base/run_record.h"

// 1 when `path` is `file_name` in one of the family's driver-file folders.
int is_driver_file_place(const run_record *record, const char *path, const char *file_name);

// 1 when the file entry is vouched for; *why says how, for the log.
int plan_file_is_vouched(const run_record *record, const char *path, const char **why);
// 1 when the key entry is vouched for; *why says how, for the log.
int plan_key_is_vouched(const run_record *record, const char *key_path, const char **why);

#endif
