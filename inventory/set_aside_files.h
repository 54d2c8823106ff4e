// Files that a run cut off part way had set aside for the restart (base/set_aside_name.h) but
// not yet handed over: a run again (one that found a kept plan) finds them in the folders of
// the files it removes.
#ifndef K440_INVENTORY_SET_ASIDE_FILES_H
#define K440_INVENTORY_SET_ASIDE_FILES_H

#include "base/run_record.h"

// NT family: adds to files_to_delete every file under a set-aside name in the folder of each
// file already there (the fresh findings and the plan's vouched entries), and logs each.
void add_set_aside_files(run_record *record);

#endif
