// The removal plan: what a run is about to remove, kept in the uninstall record (or, without
// one, the product record) from before the run's first change until the records themselves
// go last. A run cut off part way leaves it behind; the next run reads it back, so that it
// finds what the removal had already made unfindable (INF copies named only by removed driver
// keys, Windows 98/ME driver keys named only by removed Enum keys) and does
// not search afresh for driver files the first run took (the search would go on to the next
// folder and take a same-named file that is not the product's).
//
// Format: base/kept_plan_format.h.
#ifndef K440_INVENTORY_KEPT_PLAN_H
#define K440_INVENTORY_KEPT_PLAN_H

#include "base/kept_plan_format.h"
#include "base/run_record.h"

struct kept_plan {
    int found;
    string_list_entry *files_to_delete;
    string_list_entry *keys_to_delete;
    value_pair_entry *values_to_delete;
};

// Reads the plan kept in the record's uninstall record, else in its product record, as it is
// stored. Only entries of a form a fresh finding could have are kept. 1 when a plan was found.
int read_kept_plan(const run_record *record, kept_plan *plan);
// Parses the value's data (`size` bytes) into the plan.
void parse_kept_plan(const run_record *record, const char *data, unsigned long size,
                     kept_plan *plan);
// 1 when the plan holds the driver file of that name in one of the family's system folders.
int plan_holds_driver_file(const kept_plan *plan, const run_record *record, const char *file_name);
// Adds every plan entry that the record's lists do not hold yet and that the machine as it is
// now vouches for (inventory/kept_plan_checks.h), logs each refused one, and releases the plan.
void merge_kept_plan(kept_plan *plan, run_record *record);

#endif
