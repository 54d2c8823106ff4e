// Keeping the removal plan (base/kept_plan_format.h) before the run changes anything.
#ifndef K440_REMOVAL_KEPT_PLAN_WRITER_H
#define K440_REMOVAL_KEPT_PLAN_WRITER_H

#include "base/run_record.h"

// Composes the plan from the record's lists (the two records themselves are found afresh and
// left out) and the program files the sweep will hand to the restart, into `data`, or only
// measures it when `data` is 0; the size with the final terminator, or 0 when the plan is
// larger than Windows 98/ME keep in one value (REMOVAL_PLAN_SIZE) on that family.
unsigned long compose_kept_plan(const run_record *record, char *data);
// Writes it as one value into the uninstall record, else into the product record; 1 when
// written. A plan that does not fit is not written at all: a cut plan would hide the driver
// files it lost from the next run's search.
int write_kept_plan(const run_record *record);

#endif
