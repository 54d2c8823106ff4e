// The confirmation dialog of a run without "-quiet".
#ifndef K440_CONTROL_CONFIRMATION_DIALOG_H
#define K440_CONTROL_CONFIRMATION_DIALOG_H

#include "base/run_record.h"
#include "platform/win32.h"

// Shows the dialog modally; returns the removal's result code, 3 on Cancel, or the
// platform's failure value (-1) when the dialog cannot be created.
INT_PTR run_confirmation_dialog(HINSTANCE instance, run_record *record);

#endif
