// The product's OEM INF copies in the INF directory of the NT family, found through the
// driver keys of its devices and, when no device list can be built or on Windows Vista and
// later, by reading every INF.
#ifndef K440_INVENTORY_OEM_INF_DISCOVERY_H
#define K440_INVENTORY_OEM_INF_DISCOVERY_H

#include "base/run_record.h"

// Adds each INF found and its PNF twin to files_to_delete; 1 when at least one was added.
int discover_oem_infs(run_record *record);
int infs_from_driver_keys(const string_list_entry *driver_keys, const char *windows_dir,
                          const char *product_guid, string_list_entry **files_to_delete);
int scan_inf_directory(const string_list_entry *device_ids, const string_list_entry *device_names,
                       const char *inf_dir, int os_class, string_list_entry **files_to_delete,
                       int skip_validation);

#endif
