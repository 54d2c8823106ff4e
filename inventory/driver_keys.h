// The driver keys of the product's device instances (NT family), collected from the device
// tree of every class.
#ifndef K440_INVENTORY_DRIVER_KEYS_H
#define K440_INVENTORY_DRIVER_KEYS_H

#include "base/string_list.h"

// Pushes the driver key text of every matching device instance (attached or not) onto
// *driver_keys. Non-zero when the device list could be built and released.
int collect_driver_keys(const string_list_entry *device_ids,
                        const string_list_entry *device_names, string_list_entry **driver_keys);

#endif
