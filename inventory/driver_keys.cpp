#include "inventory/driver_keys.h"

#include "base/device_matching.h"
#include "base/device_properties.h"

int collect_driver_keys(const string_list_entry *device_ids,
                        const string_list_entry *device_names, string_list_entry **driver_keys) {
    HDEVINFO set = SetupDiGetClassDevsA(0, 0, 0, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) return 0;
    char hardware_id[DEVICE_PROPERTY_SIZE];
    char driver_key[DEVICE_PROPERTY_SIZE];
    SP_DEVINFO_DATA device;
    for (DWORD index = 0;; ++index) {
        device.cbSize = sizeof(SP_DEVINFO_DATA);
        if (!SetupDiEnumDeviceInfo(set, index, &device)) break;
        if (!get_hardware_id(set, &device, hardware_id)) continue;
        if (!hardware_id_matches(hardware_id, device_ids, device_names)) continue;
        if (get_driver_key(set, &device, driver_key)) push_string(driver_keys, driver_key);
    }
    return SetupDiDestroyDeviceInfoList(set);
}
