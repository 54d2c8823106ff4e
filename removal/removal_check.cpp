#include "removal/removal_check.h"

#include "base/device_walk.h"
#include "base/run_log.h"
#include "removal/listed_deletion.h"
#include "removal/registry_deletion.h"

namespace {

void log_device_left(const walked_device *walked, void *context) {
    char instance_id[INSTANCE_ID_SIZE];
    log_line("left in place: device %s (%s)", walked_instance_id(walked, instance_id),
             walked->hardware_id);
    ++*static_cast<int *>(context);
}

}  // namespace

int devices_left(const run_record *record) {
    device_walk walk = product_device_walk(record);
    int count = 0;
    if (walk_devices(&walk, log_device_left, &count) != DEVICE_WALK_NO_LIST) return count;
    log_line("left in place: unknown (the device list could not be obtained)");
    return 0;
}

int usb_serial_flags_left(const string_list_entry *device_ids) {
    int count = 0;
    for (const string_list_entry *id = device_ids; id; id = id->next) {
        char name[SERIAL_FLAG_NAME_SIZE];
        if (!usb_serial_flag_name(id->text, name) || !value_is_present(USB_FLAGS_KEY, name))
            continue;
        log_line("left in place: value %s\\%s", USB_FLAGS_KEY, name);
        ++count;
    }
    return count;
}
