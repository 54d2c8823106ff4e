// The installed driver version check.
#ifndef K440_PRECHECKS_DRIVER_VERSION_H
#define K440_PRECHECKS_DRIVER_VERSION_H

#include "base/string_list.h"

// 0 when no driver entry of the USB class matches a device id; otherwise 1, 2 or 3 as the
// installed version is lower than, equal to or higher than `reference` (four numbers).
// Without a reference (NULL) the check only looks for an installed driver: any match answers
// 2, and the missing reference is never read.
int compare_installed_driver_version(const string_list_entry *device_ids, const int *reference,
                                     int os_class);

#endif
