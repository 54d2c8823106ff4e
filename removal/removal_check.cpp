#include "removal/removal_check.h"

#include "base/run_log.h"
#include "removal/device_walk.h"
#include "removal/listed_deletion.h"
#include "removal/registry_deletion.h"

namespace {

void log_device_left(const char *instance_id, const char *hardware_id, void *context) {
    (void)context;
    log_line("left in place: device %s (%s)", instance_id, hardware_id);
}

}  // namespace

int devices_left(const run_record *record) {
    int count = for_each_matching_device(record, log_device_left, 0);
    if (count >= 0) return count;
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
