#include "base/device_walk.h"

#include <stdlib.h>

#include "base/device_matching.h"
#include "base/device_properties.h"
#include "base/guid_text.h"
#include "base/run_log.h"
#include "base/text_buffer.h"

namespace {

// Reopens one listed instance into the set. An instance that no longer exists was removed
// since; its absence is what the removal is after.
void reopen_instance(HDEVINFO set, const char *instance_id, string_list_entry **unopened) {
    SP_DEVINFO_DATA device;
    device.cbSize = sizeof(SP_DEVINFO_DATA);
    if (SetupDiOpenDeviceInfoA(set, instance_id, 0, 0, &device)) return;
    DWORD error = GetLastError();
    if (error == ERROR_NO_SUCH_DEVINST) return;
    char failure[FAILURE_TEXT_SIZE];
    log_line("open device %s: %s", instance_id, failure_text(error, failure));
    push_string(unopened, instance_id);
}

// The list reads newest first; the instances go into the set in the order the device list
// showed them.
void reopen_listed(HDEVINFO set, const string_list_entry *list, string_list_entry **unopened) {
    int count = string_list_length(list);
    const string_list_entry **entries =
        static_cast<const string_list_entry **>(malloc(sizeof *entries * (count ? count : 1)));
    if (!entries) {
        for (; list; list = list->next)
            if (list->text[0]) reopen_instance(set, list->text, unopened);
        return;
    }
    for (int i = 0; list; list = list->next) entries[i++] = list;
    for (int i = count - 1; i >= 0; --i)
        if (entries[i]->text[0]) reopen_instance(set, entries[i]->text, unopened);
    free(entries);
}

HDEVINFO open_set(const device_walk *walk, string_list_entry **unopened) {
    if (walk->source == EVERY_DEVICE) return SetupDiGetClassDevsA(0, 0, 0, DIGCF_ALLCLASSES);
    if (walk->source == LISTED_INSTANCES) {
        HDEVINFO set = SetupDiCreateDeviceInfoList(0, 0);
        if (set != INVALID_HANDLE_VALUE) reopen_listed(set, walk->instance_ids, unopened);
        return set;
    }
    GUID interface_class;
    if (!parse_guid_text(walk->interface_class, &interface_class)) return INVALID_HANDLE_VALUE;
    return SetupDiGetClassDevsA(&interface_class, 0, 0, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
}

}  // namespace

int walk_devices(const device_walk *walk, device_visit visit, void *context) {
    string_list_entry *unopened = 0;
    HDEVINFO set = open_set(walk, &unopened);
    if (set == INVALID_HANDLE_VALUE) return DEVICE_WALK_NO_LIST;
    walked_device walked = {set, 0, 0, "could not be opened", 1};
    for (const string_list_entry *entry = unopened; entry; entry = entry->next) {
        walked.instance_id = entry->text;
        visit(&walked, context);
    }
    free_string_list(unopened);
    const int has_rules = walk->device_ids || walk->device_names;
    char hardware_id[DEVICE_PROPERTY_SIZE];
    SP_DEVINFO_DATA device;
    walked.device = &device;
    walked.instance_id = 0;
    walked.hardware_id = hardware_id;
    for (DWORD index = 0;; ++index) {
        device.cbSize = sizeof(SP_DEVINFO_DATA);
        if (!SetupDiEnumDeviceInfo(set, index, &device)) break;
        hardware_id[0] = '\0';
        walked.matches = has_rules && get_hardware_id(set, &device, hardware_id) &&
                         hardware_id_matches(hardware_id, walk->device_ids, walk->device_names);
        if (walked.matches || walk->every_device) visit(&walked, context);
    }
    return SetupDiDestroyDeviceInfoList(set) ? DEVICE_WALK_DONE : DEVICE_WALK_NOT_RELEASED;
}

device_walk product_device_walk(const run_record *record) {
    device_walk walk = {record->devices_listed ? LISTED_INSTANCES : EVERY_DEVICE, 0,
                        record->device_instances, record->device_ids, record->device_names, 0};
    return walk;
}

int device_instance_id(HDEVINFO set, SP_DEVINFO_DATA *device, char *buffer, size_t size) {
    DWORD needed = 0;
    if (SetupDiGetDeviceInstanceIdA(set, device, buffer, (DWORD)size, &needed))
        return buffer[0] != '\0';
    text_copy(buffer, size, "(instance id unknown)");
    return 0;
}

const char *walked_instance_id(const walked_device *walked, char *buffer) {
    if (!walked->device) return walked->instance_id;
    device_instance_id(walked->set, walked->device, buffer, INSTANCE_ID_SIZE);
    return buffer;
}
