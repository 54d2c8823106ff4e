#include "device_sets.h"

#include <map>

#include "machine.h"
#include "system_api.h"

namespace sim {

namespace {

std::map<uintptr_t, DeviceSet> g_sets;

}  // namespace

HDEVINFO add_device_set(const DeviceSet &set) {
    uintptr_t number = new_handle_number();
    g_sets[number] = set;
    ++current_process().open_handles;
    return reinterpret_cast<HDEVINFO>(number);
}

DeviceSet *device_set_of(HDEVINFO handle) {
    auto it = g_sets.find(reinterpret_cast<uintptr_t>(handle));
    return it == g_sets.end() ? nullptr : &it->second;
}

bool erase_device_set(HDEVINFO handle) {
    auto it = g_sets.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_sets.end()) return false;
    g_sets.erase(it);
    --current_process().open_handles;
    return true;
}

Device &device_at(size_t slot) { return current_machine().devices.devices[slot]; }

Element *element_of(DeviceSet *set, PSP_DEVINFO_DATA data) {
    if (!data) return SetLastError(ERROR_INVALID_PARAMETER), nullptr;
    if (data->cbSize != sizeof(SP_DEVINFO_DATA)) return SetLastError(ERROR_INVALID_USER_BUFFER), nullptr;
    size_t index = (size_t)data->Reserved;
    if (index == 0 || index > set->elements.size() ||
        set->elements[index - 1].device + 1 != data->DevInst)
        return SetLastError(ERROR_INVALID_PARAMETER), nullptr;
    return &set->elements[index - 1];
}

void fill_device(PSP_DEVINFO_DATA data, const DeviceSet &set, size_t index) {
    const Element &e = set.elements[index];
    data->ClassGuid = device_at(e.device).device_class;
    data->DevInst = (DWORD)(e.device + 1);
    data->Reserved = (ULONG_PTR)(index + 1);
}

BOOL fail_with(DWORD error) {
    SetLastError(error);
    return FALSE;
}

bool fault_taken(const char *function, const std::string &detail) {
    DWORD error;
    if (!current_machine().take_fault(function, detail, &error)) return false;
    SetLastError(error);
    return true;
}

}  // namespace sim
