// The plan of a dry run: everything the removal would act on, in the order it would, written
// to the run log without changing anything.
#ifndef K440_REMOVAL_REMOVAL_PLAN_H
#define K440_REMOVAL_REMOVAL_PLAN_H

#include "base/run_record.h"

// One "plan: ..." line per action, marked "(not there)" where the item is missing now.
void write_removal_plan(const run_record *record);

#endif
