#include "inventory/driver_keys.h"

#include "base/device_properties.h"
#include "base/device_walk.h"
#include "base/run_log.h"

namespace {

struct collection {
    string_list_entry **driver_keys;
    string_list_entry **device_instances;
    string_list_entry **filtered_devices;
    int ids_missing;
};

// An instance id is kept only whole and never empty: an empty id would name the root of the
// device tree when the removal reopens it.
void collect_device(const walked_device *walked, void *context) {
    collection *found = static_cast<collection *>(context);
    char instance_id[LIST_TEXT_SIZE];
    // A filtered device whose id cannot be kept leaves the list incomplete.
    if (found->filtered_devices && has_own_filters(walked->set, walked->device) &&
        !(device_instance_id(walked->set, walked->device, instance_id, sizeof instance_id) &&
          push_string(found->filtered_devices, instance_id)))
        found->ids_missing = 1;
    if (!walked->matches) return;
    char driver_key[DEVICE_PROPERTY_SIZE];
    if (get_driver_key(walked->set, walked->device, driver_key))
        push_string(found->driver_keys, driver_key);
    if (!found->device_instances) return;
    if (device_instance_id(walked->set, walked->device, instance_id, sizeof instance_id) &&
        push_string(found->device_instances, instance_id))
        log_line("found device %s (hardware id %s)", instance_id, walked->hardware_id);
    else
        found->ids_missing = 1;
}

}  // namespace

int collect_driver_keys(const string_list_entry *device_ids, const string_list_entry *device_names,
                        string_list_entry **driver_keys, string_list_entry **device_instances,
                        string_list_entry **filtered_devices) {
    // Every device is visited when the filtered ones are asked for too.
    device_walk walk = {EVERY_DEVICE, 0, 0, device_ids, device_names, filtered_devices != 0};
    collection found = {driver_keys, device_instances, filtered_devices, 0};
    if (walk_devices(&walk, collect_device, &found) != DEVICE_WALK_DONE)
        return DEVICE_LIST_NOT_BUILT;
    return found.ids_missing ? DEVICE_LIST_IDS_MISSING : DEVICE_LIST_BUILT;
}
