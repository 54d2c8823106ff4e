// The removal plan: what a run is about to remove, kept in the uninstall record (or, without
// one, the product record) from before the run's first change until the records themselves
// go last. A run cut off part way leaves it behind; the next run reads it back, so that it
// finds what the removal had already made unfindable (INF copies named only by removed driver
// keys, Windows 98/ME driver keys named only by removed Enum keys, device instances) and does
// not search afresh for driver files the first run took (the search would go on to the next
// folder and take a same-named file that is not the product's).
//
// Format: a REG_MULTI_SZ value "RemovalPlan", one entry a string, each led by its kind:
// "F" file path, "K" key path, "V" key path followed by "N" value name, "D" device instance id.
#ifndef K440_INVENTORY_REMOVAL_PLAN_H
#define K440_INVENTORY_REMOVAL_PLAN_H

#include "control/run_record.h"

#define REMOVAL_PLAN_VALUE "RemovalPlan"
// The largest plan written: Windows 98/ME keep no larger value data.
#define REMOVAL_PLAN_SIZE 16000
#define DEVICE_INSTANCE_ID_SIZE 200

#define PLAN_FILE 'F'
#define PLAN_KEY 'K'
#define PLAN_VALUE_KEY 'V'
#define PLAN_VALUE_NAME 'N'
#define PLAN_DEVICE 'D'

struct removal_plan {
    int found;
    string_list_entry *files_to_delete;
    string_list_entry *keys_to_delete;
    value_pair_entry *values_to_delete;
    string_list_entry *device_instances;
};

// Reads the plan kept in the record's uninstall record, else in its product record. Only
// entries that pass the tests of a fresh finding are taken. 1 when a plan was found.
int read_removal_plan(const run_record *record, removal_plan *plan);
// Parses the value's data (`size` bytes) into the plan.
void parse_removal_plan(const run_record *record, const char *data, unsigned long size,
                        removal_plan *plan);
// 1 when the plan holds a file of that name (in any folder).
int plan_holds_file_named(const removal_plan *plan, const char *file_name);
// Adds every plan entry that the record's lists do not hold yet, and releases the plan.
void merge_removal_plan(removal_plan *plan, run_record *record);

#endif
