// Device registry properties of one device of a device information set, read into fixed
// buffers.
#ifndef K440_BASE_DEVICE_PROPERTIES_H
#define K440_BASE_DEVICE_PROPERTIES_H

#include "platform/win32.h"

#define DEVICE_PROPERTY_SIZE 2048

// Read SPDRP_HARDWAREID / SPDRP_DRIVER of a device into `buffer` of DEVICE_PROPERTY_SIZE
// bytes; 1 when the buffer may be used, 0 when it holds the empty text.
int get_hardware_id(HDEVINFO device_info_set, SP_DEVINFO_DATA *device, char *buffer);
int get_driver_key(HDEVINFO device_info_set, SP_DEVINFO_DATA *device, char *buffer);
// 1 when the device has an UpperFilters or LowerFilters list of its own (asked by size only).
int has_own_filters(HDEVINFO device_info_set, SP_DEVINFO_DATA *device);

#endif
