// The removal sequence: the only operation that changes the machine.
#ifndef K440_REMOVAL_RUN_REMOVAL_H
#define K440_REMOVAL_RUN_REMOVAL_H

#include "base/run_record.h"

// Works through the record's lists in the fixed order, writing every action to the run log.
// Returns 0, or 15 when something it set out to remove is still in place and not handed to
// the restart. A needed restart is reported in restart_needed.
int run_removal(run_record *record);

#endif
