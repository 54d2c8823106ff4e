// Windows 98/ME: the product's "OEM Name" records, and the driver keys collected in
// class_keys with the INF copies they name.
#ifndef K440_INVENTORY_OEM_RECORDS_9X_H
#define K440_INVENTORY_OEM_RECORDS_9X_H

#include "base/run_record.h"

int scan_oem_name_values(run_record *record);
int follow_driver_keys(run_record *record);

#endif
