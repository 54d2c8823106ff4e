#include "removal/device_walk.h"

#include <stdlib.h>

#include "base/device_matching.h"
#include "base/device_properties.h"
#include "base/mbtext.h"
#include "base/run_log.h"
#include "base/text_buffer.h"
#include "removal/device_removal.h"

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
// showed them. An empty id is never opened: it would name the root of the device tree.
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

int is_listed(const string_list_entry *list, const char *instance_id) {
    for (; list; list = list->next)
        if (mb_equal_nocase(list->text, instance_id)) return 1;
    return 0;
}

}  // namespace

HDEVINFO open_product_devices(const run_record *record, string_list_entry **unopened) {
    if (!record->devices_listed) return SetupDiGetClassDevsA(0, 0, 0, DIGCF_ALLCLASSES);
    HDEVINFO set = SetupDiCreateDeviceInfoList(0, 0);
    if (set != INVALID_HANDLE_VALUE) reopen_listed(set, record->device_instances, unopened);
    return set;
}

void device_instance_id(HDEVINFO set, SP_DEVINFO_DATA *device, char *buffer) {
    DWORD needed = 0;
    if (!SetupDiGetDeviceInstanceIdA(set, device, buffer, INSTANCE_ID_SIZE, &needed))
        text_copy(buffer, INSTANCE_ID_SIZE, "(instance id unknown)");
}

int for_each_matching_device(const run_record *record, matching_device_visit visit,
                             void *context) {
    string_list_entry *unopened = 0;
    HDEVINFO set = open_product_devices(record, &unopened);
    if (set == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    for (const string_list_entry *entry = unopened; entry; entry = entry->next, ++count)
        visit(entry->text, "could not be opened", context);
    free_string_list(unopened);
    char hardware_id[DEVICE_PROPERTY_SIZE];
    char instance_id[INSTANCE_ID_SIZE];
    SP_DEVINFO_DATA device;
    for (DWORD index = 0; enum_device_info(set, index, &device); ++index) {
        if (!get_hardware_id(set, &device, hardware_id)) continue;
        if (!hardware_id_matches(hardware_id, record->device_ids, record->device_names)) continue;
        device_instance_id(set, &device, instance_id);
        visit(instance_id, hardware_id, context);
        ++count;
    }
    SetupDiDestroyDeviceInfoList(set);
    return count;
}

void list_attached_instance(run_record *record, HDEVINFO set, SP_DEVINFO_DATA *device) {
    if (!record->devices_listed) return;  // the removal lists every device itself
    char hardware_id[DEVICE_PROPERTY_SIZE];
    if (!get_hardware_id(set, device, hardware_id) ||
        !hardware_id_matches(hardware_id, record->device_ids, record->device_names))
        return;
    char instance_id[LIST_TEXT_SIZE];
    DWORD needed = 0;
    if (!SetupDiGetDeviceInstanceIdA(set, device, instance_id, sizeof instance_id, &needed) ||
        !instance_id[0]) {
        record->devices_listed = 0;  // not to be reopened: the removal lists every device
        return;
    }
    if (is_listed(record->device_instances, instance_id)) return;
    if (!push_string(&record->device_instances, instance_id)) record->devices_listed = 0;
}
