// The rules that recognise the product's devices by their hardware ids and device key names.
#ifndef K440_BASE_DEVICE_MATCHING_H
#define K440_BASE_DEVICE_MATCHING_H

#include "base/string_list.h"

// 1 when the hardware id text contains "vid_VVVV&pid_PPPP" (or "vid_VVVV") of a device id, or
// one of the device names, without regard to case. Either list may be empty or absent.
int hardware_id_matches(const char *text, const string_list_entry *device_ids,
                        const string_list_entry *device_names);

// 1 when a Windows 98/ME device key name ("VID_FFFF&PID_0001...") carries the vendor id (and
// product id, where the entry has one) of a device id, compared as numbers. The name is
// upper-cased in place.
int device_key_matches_ids(char *key_name, const string_list_entry *device_ids);

#endif
