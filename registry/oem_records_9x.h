// Windows 98/ME: the product's "OEM Name" records, and the driver keys collected in
// class_keys with the INF copies they name.
#ifndef K440_REGISTRY_OEM_RECORDS_9X_H
#define K440_REGISTRY_OEM_RECORDS_9X_H

#include "control/run_record.h"

int scan_oem_name_values(run_record *record);
int follow_driver_keys(run_record *record);

#endif
