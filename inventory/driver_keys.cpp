#include "inventory/driver_keys.h"

#include "base/device_matching.h"
#include "base/device_properties.h"
#include "base/run_log.h"
#include "platform/win32.h"

namespace {

// An instance id is kept only whole and never empty: an empty id would name the root of the
// device tree when the removal reopens it.
int keep_instance_id(HDEVINFO set, SP_DEVINFO_DATA *device, const char *hardware_id,
                     string_list_entry **device_instances) {
    char instance_id[LIST_TEXT_SIZE];
    DWORD needed = 0;
    if (!SetupDiGetDeviceInstanceIdA(set, device, instance_id, sizeof instance_id, &needed))
        return 0;
    if (!instance_id[0] || !push_string(device_instances, instance_id)) return 0;
    log_line("found device %s (hardware id %s)", instance_id, hardware_id);
    return 1;
}

}  // namespace

int collect_driver_keys(const string_list_entry *device_ids, const string_list_entry *device_names,
                        string_list_entry **driver_keys, string_list_entry **device_instances) {
    HDEVINFO set = SetupDiGetClassDevsA(0, 0, 0, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) return DEVICE_LIST_NOT_BUILT;
    int result = DEVICE_LIST_BUILT;
    char hardware_id[DEVICE_PROPERTY_SIZE];
    char driver_key[DEVICE_PROPERTY_SIZE];
    SP_DEVINFO_DATA device;
    for (DWORD index = 0;; ++index) {
        device.cbSize = sizeof(SP_DEVINFO_DATA);
        if (!SetupDiEnumDeviceInfo(set, index, &device)) break;
        if (!get_hardware_id(set, &device, hardware_id)) continue;
        if (!hardware_id_matches(hardware_id, device_ids, device_names)) continue;
        if (get_driver_key(set, &device, driver_key)) push_string(driver_keys, driver_key);
        if (device_instances && !keep_instance_id(set, &device, hardware_id, device_instances))
            result = DEVICE_LIST_IDS_MISSING;
    }
    if (!SetupDiDestroyDeviceInfoList(set)) return DEVICE_LIST_NOT_BUILT;
    return result;
}
