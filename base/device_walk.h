// One walk over the product's devices (NT family): it makes the device information set, reads
// each device's first hardware id and matches it once (base/device_matching.h), hands the
// device to a visitor, and releases the set on its one way out. Disabling, removing,
// collecting, counting, the check after the removal and the dry run's plan are its visitors.
#ifndef K440_BASE_DEVICE_WALK_H
#define K440_BASE_DEVICE_WALK_H

#include <stddef.h>

#include "base/run_record.h"
#include "platform/win32.h"

#define INSTANCE_ID_SIZE 512

// Where a walk takes its devices from.
#define EVERY_DEVICE 0                // every device of every class, attached or not
#define ATTACHED_INTERFACE_DEVICES 1  // the attached devices exposing an interface of a class
// The listed instance ids, reopened one by one into a set of the walk's own (never an empty
// id, which would name the root of the device tree). An instance that is gone is left out;
// one that cannot be opened for another reason is named in the run log and visited first,
// without a device.
#define LISTED_INSTANCES 2

struct device_walk {
    int source;
    const char *interface_class;            // GUID text; one that does not parse lists nothing
    const string_list_entry *instance_ids;  // LISTED_INSTANCES, newest first
    // The product's hardware-id rules; with neither list nothing matches and no id is read.
    const string_list_entry *device_ids;
    const string_list_entry *device_names;
    int every_device;  // also visit the devices that do not match
};

struct walked_device {
    HDEVINFO set;
    SP_DEVINFO_DATA *device;  // 0 for a listed instance that could not be reopened
    const char *instance_id;  // that instance's id; else read it with walked_instance_id
    const char *hardware_id;  // the first hardware id read, or "could not be opened"
    int matches;
};

typedef void (*device_visit)(const walked_device *walked, void *context);

#define DEVICE_WALK_NO_LIST 0       // the set could not be had; nothing was visited
#define DEVICE_WALK_DONE 1
#define DEVICE_WALK_NOT_RELEASED 2  // every device was visited, the set could not be released

int walk_devices(const device_walk *walk, device_visit visit, void *context);

// The product's devices as the removal, its check and the plan take them: the instances the
// inventory listed, so that a run lists every device of the machine only once, or every
// device when the inventory could not list them all.
device_walk product_device_walk(const run_record *record);

// The device's instance id into `buffer`; 1 when it was read and is not empty. When the
// platform cannot tell it the buffer holds "(instance id unknown)".
int device_instance_id(HDEVINFO set, SP_DEVINFO_DATA *device, char *buffer, size_t size);
// The walked device's instance id, read into `buffer` of INSTANCE_ID_SIZE bytes when needed.
const char *walked_instance_id(const walked_device *walked, char *buffer);

#endif
