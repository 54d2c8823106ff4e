// Files that a run cut off part way had set aside for the restart (base/set_aside_name.h) but
// not yet handed over: a run again finds them in the folders of the files its kept plan names.
#ifndef K440_INVENTORY_SET_ASIDE_FILES_H
#define K440_INVENTORY_SET_ASIDE_FILES_H

#include "base/run_record.h"
#include "base/string_list.h"

// NT family: adds to files_to_delete every file under a set-aside name in the folder of each
// of the plan's files, and logs each.
void add_set_aside_files(run_record *record, const string_list_entry *plan_files);

#endif
