// Keeping the removal plan (base/kept_plan_format.h) before the run changes anything.
#ifndef K440_REMOVAL_KEPT_PLAN_WRITER_H
#define K440_REMOVAL_KEPT_PLAN_WRITER_H

#include "base/run_record.h"

// Composes the plan from the record's lists (the two records themselves are found afresh and
// left out) into `data` of REMOVAL_PLAN_SIZE bytes; the size with the final terminator, or 0
// when the plan does not fit.
unsigned long compose_kept_plan(const run_record *record, char *data);
// Writes it as one value into the uninstall record, else into the product record; 1 when
// written. A plan that does not fit is not written at all: a cut plan would hide the driver
// files it lost from the next run's search.
int write_kept_plan(const run_record *record);

#endif
