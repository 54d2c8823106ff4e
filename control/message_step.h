// The message step of a run: the success, cancellation and failure boxes.
#ifndef K440_CONTROL_MESSAGE_STEP_H
#define K440_CONTROL_MESSAGE_STEP_H

#include "base/run_record.h"

// Shows the boxes that the result and the quiet/show_error switches call for.
void show_result_messages(run_record *record, int result);

// The failure box: the failure text with the result code, and the detail line that belongs
// to the result (12, 13, 14) when the profile has one, in the run's language.
void show_failure_box(const run_record *record, int result);

#endif
