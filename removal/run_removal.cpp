#include "removal/run_removal.h"

// Placeholder until the removal sequence lands: removes nothing.
int run_removal(run_record *record) {
    (void)record;
    return 0;
}
