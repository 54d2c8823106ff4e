// The product's device instances (every class, attached or not, matched by hardware id) as the
// removal works on them: the instances the inventory listed, reopened one by one by instance
// id, so that a run lists every device of the machine only once. Without the inventory's list
// (Windows could not build it, or an instance id could not be read) the removal lists every
// device itself, as the inventory would have.
#ifndef K440_REMOVAL_DEVICE_WALK_H
#define K440_REMOVAL_DEVICE_WALK_H

#include "base/run_record.h"
#include "platform/win32.h"

#define INSTANCE_ID_SIZE 512

// A device information set holding the product's device instances, or every device of the
// machine when the inventory listed none; INVALID_HANDLE_VALUE when neither can be had. An
// instance that is gone is left out; one that cannot be opened for another reason is named in
// the run log and pushed onto *unopened (released by the caller). Released with
// SetupDiDestroyDeviceInfoList.
HDEVINFO open_product_devices(const run_record *record, string_list_entry **unopened);

typedef void (*matching_device_visit)(const char *instance_id, const char *hardware_id,
                                      void *context);

// Calls `visit` for every matching device, for the steps that name or count them without
// changing them: the plan of a dry run and the check after the removal; an instance that
// could not be opened is visited with the hardware id text "could not be opened". Returns
// how many were visited, or -1 when the devices could not be obtained.
int for_each_matching_device(const run_record *record, matching_device_visit visit,
                             void *context);

// Adds the instance of a handset that the disabling pass found attached, when it is the
// product's and not listed yet: it may have been plugged in after the inventory.
void list_attached_instance(run_record *record, HDEVINFO set, SP_DEVINFO_DATA *device);

// The device's instance id into `buffer` (INSTANCE_ID_SIZE bytes), or "(instance id unknown)"
// when the platform cannot tell it.
void device_instance_id(HDEVINFO set, SP_DEVINFO_DATA *device, char *buffer);

#endif
