// The plan of a dry run: the removal sequence (removal/run_removal.h) with the executor that
// only writes down what it would act on, in its order, without changing anything.
#ifndef K440_REMOVAL_REMOVAL_PLAN_H
#define K440_REMOVAL_REMOVAL_PLAN_H

#include "base/run_record.h"

// One "plan: ..." line per action, marked "(not there)" where the item is missing now.
void write_removal_plan(run_record *record);

#endif
