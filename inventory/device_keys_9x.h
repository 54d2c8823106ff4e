// Device keys of the Windows 98/ME device tree under "Enum": the product's enumerator and
// device keys go to keys_to_delete, the "Driver" texts of their instances to class_keys.
#ifndef K440_INVENTORY_DEVICE_KEYS_9X_H
#define K440_INVENTORY_DEVICE_KEYS_9X_H

#include "base/run_record.h"

int collect_driver_values(const char *device_key_path, string_list_entry **output);
int scan_enumerator_key(run_record *record, const char *device_name);
int scan_device_key(run_record *record, const char *enumerator_path, const char *device_name);
int scan_vid_pid_devices(run_record *record);
int collect_matching_instances(const char *device_key_path, const string_list_entry *names,
                               string_list_entry **output);
int scan_hardware_id_devices(run_record *record, const char *enumerator_path);

#endif
