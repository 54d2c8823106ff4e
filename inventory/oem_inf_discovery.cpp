#include "inventory/oem_inf_discovery.h"

// Placeholder until the OEM INF discovery lands: finds nothing.
int discover_oem_infs(run_record *record) {
    (void)record;
    return 0;
}
