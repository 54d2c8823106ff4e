// Device removal on the NT family: attached handsets are disabled first; only when that
// worked for all of them are the product's device instances removed.
#ifndef K440_REMOVAL_DEVICE_REMOVAL_H
#define K440_REMOVAL_DEVICE_REMOVAL_H

#include "base/run_record.h"
#include "platform/win32.h"

// 1 when the device list was obtained and every present device of the product's interface
// class was disabled (also when there was none).
int disable_interface_devices(run_record *record);
int disable_device(run_record *record, HDEVINFO set, SP_DEVINFO_DATA *device);
// 1 when every matching device instance of any class was removed and the list released.
int remove_matching_devices(run_record *record);
int remove_device(run_record *record, HDEVINFO set, SP_DEVINFO_DATA *device);
BOOL enum_device_info(HDEVINFO set, DWORD index, SP_DEVINFO_DATA *device);

#endif
