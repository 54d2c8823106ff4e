// The driver keys and instance ids of the product's device instances (NT family), collected
// from the one list of every device of the machine, of every class, that a run builds.
#ifndef K440_INVENTORY_DRIVER_KEYS_H
#define K440_INVENTORY_DRIVER_KEYS_H

#include "base/string_list.h"

// What collect_driver_keys could build.
#define DEVICE_LIST_NOT_BUILT 0
#define DEVICE_LIST_BUILT 1        // every matching instance's id is in *device_instances
#define DEVICE_LIST_IDS_MISSING 2  // built, but an instance id could not be read or kept

// Pushes the driver key text of every matching device instance (attached or not) onto
// *driver_keys and its instance id onto *device_instances (when given), and the instance id of
// every device with a filter list of its own onto *filtered_devices (when given). Returns one
// of the values above; DEVICE_LIST_NOT_BUILT also when the list could not be released.
int collect_driver_keys(const string_list_entry *device_ids, const string_list_entry *device_names,
                        string_list_entry **driver_keys, string_list_entry **device_instances,
                        string_list_entry **filtered_devices);

#endif
