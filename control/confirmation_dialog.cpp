#include "control/confirmation_dialog.h"

#include "removal/run_removal.h"

// Placeholder until the dialog lands: confirms at once.
INT_PTR run_confirmation_dialog(HINSTANCE instance, run_record *record) {
    (void)instance;
    return run_removal(record);
}
