#include "inventory/collect_inventory.h"

// Placeholder until the inventory lands: finds nothing.
int collect_inventory(run_record *record) {
    (void)record;
    return 0;
}
