// The inventory: everything the driver set left on the machine, written into the run
// record's lists for the removal sequence.
#ifndef K440_INVENTORY_COLLECT_INVENTORY_H
#define K440_INVENTORY_COLLECT_INVENTORY_H

#include "base/run_record.h"

// Fills windows_dir, own_path and the lists. Nothing it meets stops the run: a place that
// cannot be read just adds nothing.
void collect_inventory(run_record *record);

#endif
