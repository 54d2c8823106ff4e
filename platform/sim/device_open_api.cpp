// Device information sets built one device at a time: an empty set, and a device instance
// added to it by its instance id, attached or not.
#include <cstring>

#include "device_sets.h"
#include "device_tree.h"
#include "inf_api.h"
#include "machine.h"
#include "setupapi_api.h"
#include "setupapi_exports.h"
#include "system_api.h"

using namespace sim;

HDEVINFO setupapi_dll::SetupDiCreateDeviceInfoList(const GUID *class_guid, HWND parent) {
    (void)parent;
    record_call("SetupDiCreateDeviceInfoList", class_guid ? guid_text(*class_guid) : "(null)");
    if (fault_taken("SetupDiCreateDeviceInfoList", "")) return INVALID_HANDLE_VALUE;
    DeviceSet set;
    if (class_guid) {
        set.has_class = true;
        set.device_class = *class_guid;
    }
    HDEVINFO handle = add_device_set(set);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

// An instance already in the set gives its element again. An empty id names the root of the
// device tree, as on Windows.
BOOL setupapi_dll::SetupDiOpenDeviceInfoA(HDEVINFO handle, PCSTR instance_id, HWND parent, DWORD flags,
                            PSP_DEVINFO_DATA device) {
    (void)parent;
    (void)flags;
    record_call("SetupDiOpenDeviceInfoA", instance_id ? instance_id : "(null)");
    DeviceSet *set = device_set_of(handle);
    if (!set) return fail_with(ERROR_INVALID_HANDLE);
    if (!instance_id || std::strlen(instance_id) >= MAX_DEVICE_ID_LEN)
        return fail_with(ERROR_INVALID_PARAMETER);
    std::string id = *instance_id ? instance_id : "HTREE\\ROOT\\0";
    if (fault_taken("SetupDiOpenDeviceInfoA", id)) return FALSE;
    DeviceTree &tree = current_machine().devices;
    Device *found = tree.find(id);
    if (!found) return fail_with(ERROR_NO_SUCH_DEVINST);
    if (set->has_class && !same_guid(set->device_class, found->device_class))
        return fail_with(ERROR_CLASS_MISMATCH);
    size_t slot = (size_t)(found - &tree.devices[0]);
    size_t index = 0;
    while (index < set->elements.size() && set->elements[index].device != slot) ++index;
    if (index == set->elements.size()) {
        Element e;
        e.device = slot;
        set->elements.push_back(e);
    }
    if (device && device->cbSize != sizeof(SP_DEVINFO_DATA)) return fail_with(ERROR_INVALID_USER_BUFFER);
    if (device) fill_device(device, *set, index);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
