#include "registry/oem_records_9x.h"

// Placeholders until the Windows 98/ME records land: they find nothing.
int scan_oem_name_values(run_record *record) {
    (void)record;
    return 0;
}

int follow_driver_keys(run_record *record) {
    (void)record;
    return 0;
}
