// What the removal left in place of what it set out to remove through the platform's own
// calls (device instances, UsbFlags values): each is named in the run log.
#ifndef K440_REMOVAL_REMOVAL_CHECK_H
#define K440_REMOVAL_REMOVAL_CHECK_H

#include "base/run_record.h"

// The product's device instances that are still there; 0 when the list cannot be obtained
// (nothing can be said then, and the log says so).
int devices_left(const run_record *record);
// The "IgnoreHWSerNum" values of the device ids that are still there.
int usb_serial_flags_left(const string_list_entry *device_ids);

#endif
