// One walk over the device instances of the product (every class, attached or not, matched by
// hardware id as the removal matches them), for the steps that name or count them without
// changing them: the plan of a dry run and the check after the removal.
#ifndef K440_REMOVAL_DEVICE_WALK_H
#define K440_REMOVAL_DEVICE_WALK_H

#include "base/run_record.h"
#include "platform/win32.h"

#define INSTANCE_ID_SIZE 512

typedef void (*matching_device_visit)(const char *instance_id, const char *hardware_id,
                                      void *context);

// Calls `visit` for every matching device; returns how many there were, or -1 when the device
// list could not be obtained.
int for_each_matching_device(const run_record *record, matching_device_visit visit,
                             void *context);

// The device's instance id into `buffer` (INSTANCE_ID_SIZE bytes), or "(instance id unknown)"
// when the platform cannot tell it.
void device_instance_id(HDEVINFO set, SP_DEVINFO_DATA *device, char *buffer);

#endif
