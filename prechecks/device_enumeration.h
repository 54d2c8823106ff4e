// The devices, or device interfaces, of a class collected into a growing array. The caller
// owns the record through a holder (a pointer, empty at first); repeated calls with the same
// holder refill the record from the device information set it already has.
#ifndef K440_PRECHECKS_DEVICE_ENUMERATION_H
#define K440_PRECHECKS_DEVICE_ENUMERATION_H

#include "platform/win32.h"

#define ENUMERATION_MODE_INTERFACES 0
#define ENUMERATION_MODE_DEVICES 1
#define ENUMERATION_GROWTH 16

struct device_enumeration_entry {
    SP_DEVINFO_DATA device;
    SP_DEVICE_INTERFACE_DATA interface_data;  // size field 0 in device mode
    SP_DEVICE_INTERFACE_DETAIL_DATA_A *detail;  // interface mode only; owned by the entry
};

struct device_enumeration {
    HDEVINFO info_set;  // INVALID_HANDLE_VALUE while there is none
    int mode;
    device_enumeration_entry *entries;  // `capacity` entries, zero-filled when allocated
    unsigned count;
    unsigned capacity;
};

// Without a class GUID every device of every class (device mode forced); with one, its device
// interfaces, or in device mode its devices. 1 with *holder pointing to the filled record;
// 0 with the thread's last error set (87 without a holder, 14 when memory runs out, else the
// platform's error). A record this call created is released again on failure.
int enumerate_devices(device_enumeration **holder, const GUID *class_guid, int present_only,
                      int device_mode);
void free_device_enumeration(device_enumeration *record);

#endif
