// The device information sets the simulated SetupAPI hands out: each a list of elements naming
// devices of the machine's device tree, with the install parameters the class installer keeps
// per element and per set.
#ifndef K440_SIM_DEVICE_SETS_H
#define K440_SIM_DEVICE_SETS_H

#include <cstddef>
#include <string>
#include <vector>

#include "device_model.h"
#include "setupapi_api.h"

namespace sim {

struct Element {
    size_t device = 0;  // slot in the device tree
    DWORD flags = 0;    // device install parameters' Flags
    bool has_params = false;
    SP_PROPCHANGE_PARAMS params{};
};

struct DeviceSet {
    std::vector<Element> elements;
    bool present_only = false;
    bool has_class = false;  // a set of one class takes no device of another
    GUID device_class{};
    DWORD flags = 0;  // install parameters of the set itself
    bool has_params = false;
    SP_PROPCHANGE_PARAMS params{};
};

// Registers a new set with the process; the handle the product gets.
HDEVINFO add_device_set(const DeviceSet &set);
// nullptr for a handle that names no set.
DeviceSet *device_set_of(HDEVINFO handle);
bool erase_device_set(HDEVINFO handle);

Device &device_at(size_t slot);

// The element a device record names; nullptr with the error set when it names none.
Element *element_of(DeviceSet *set, PSP_DEVINFO_DATA data);
// Fills the device record for the element at `index`.
void fill_device(PSP_DEVINFO_DATA data, const DeviceSet &set, size_t index);

// Sets the thread's last error and returns FALSE.
BOOL fail_with(DWORD error);
// True, with the last error set, when a test planted a fault for this call.
bool fault_taken(const char *function, const std::string &detail);

}  // namespace sim

#endif
