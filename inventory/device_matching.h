// The rules that recognise the product's devices, and the walk over the device tree that
// collects the driver keys of its device instances (NT family).
#ifndef K440_INVENTORY_DEVICE_MATCHING_H
#define K440_INVENTORY_DEVICE_MATCHING_H

#include "control/string_list.h"
#include "platform/win32.h"

#define DEVICE_PROPERTY_SIZE 2048

// 1 when the hardware id text contains "vid_VVVV&pid_PPPP" (or "vid_VVVV") of a device id, or
// one of the device names, without regard to case. Either list may be empty or absent.
int hardware_id_matches(const char *text, const string_list_entry *device_ids,
                        const string_list_entry *device_names);

// 1 when a Windows 98/ME device key name ("VID_FFFF&PID_0001...") carries the vendor id (and
// product id, where the entry has one) of a device id, compared as numbers. The name is
// upper-cased in place.
int device_key_matches_ids(char *key_name, const string_list_entry *device_ids);

// Read SPDRP_HARDWAREID / SPDRP_DRIVER of a device into `buffer` of DEVICE_PROPERTY_SIZE
// bytes; 1 when the buffer may be used, 0 when it holds the empty text.
int get_hardware_id(HDEVINFO device_info_set, SP_DEVINFO_DATA *device, char *buffer);
int get_driver_key(HDEVINFO device_info_set, SP_DEVINFO_DATA *device, char *buffer);

// Pushes the driver key text of every matching device instance (attached or not) onto
// *driver_keys. Non-zero when the device list could be built and released.
int collect_driver_keys(const string_list_entry *device_ids,
                        const string_list_entry *device_names, string_list_entry **driver_keys);

#endif
