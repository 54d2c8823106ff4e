// Device removal on the NT family: attached handsets are disabled first; only when that
// worked for all of them are the product's device instances removed.
#ifndef K440_REMOVAL_DEVICE_REMOVAL_H
#define K440_REMOVAL_DEVICE_REMOVAL_H

#include "base/run_record.h"

// 1 when the device list was obtained and every present device of the product's interface
// class was disabled (also when there was none).
int disable_interface_devices(run_record *record);
// 1 when every matching device instance of any class was removed and the list released.
int remove_matching_devices(run_record *record);

#endif
