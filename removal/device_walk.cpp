#include "removal/device_walk.h"

#include "base/text_buffer.h"
#include "base/device_matching.h"
#include "base/device_properties.h"
#include "removal/device_removal.h"

void device_instance_id(HDEVINFO set, SP_DEVINFO_DATA *device, char *buffer) {
    DWORD needed = 0;
    if (!SetupDiGetDeviceInstanceIdA(set, device, buffer, INSTANCE_ID_SIZE, &needed))
        text_copy(buffer, INSTANCE_ID_SIZE, "(instance id unknown)");
}

int for_each_matching_device(const run_record *record, matching_device_visit visit,
                             void *context) {
    HDEVINFO set = SetupDiGetClassDevsA(0, 0, 0, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
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
