// The device tree of the simulated machine, as SetupAPI sees it. Each device instance also has
// its device key under "System\CurrentControlSet\Enum" (instance id) and, once a driver was
// installed, its driver key under "System\CurrentControlSet\Control\Class" (driver key text),
// as on Windows; device_tree.h keeps the two in step.
#ifndef K440_SIM_DEVICE_MODEL_H
#define K440_SIM_DEVICE_MODEL_H

#include <string>
#include <vector>

#include "win_types.h"

namespace sim {

struct DeviceInterface {
    GUID interface_class{};
};

struct Device {
    std::string instance_id;             // "USB\VID_FFFF&PID_0001\5&1234&0&1"
    GUID device_class{};
    std::vector<std::string> hardware_ids;
    std::string driver_key;              // "{class GUID}\0000", empty when never installed
    std::string description;             // SPDRP_DEVICEDESC; empty: no such property
    bool present = false;
    bool disabled = false;
    // A removed device is gone for every platform function and from the registry; its slot
    // stays so that device information sets built before the removal stay valid.
    bool removed = false;
    std::vector<DeviceInterface> interfaces;
    // Faults and platform answers a test can set per device.
    bool refuse_disable = false;
    bool refuse_remove = false;
    DWORD install_flags_after_call = 0;  // DI_NEEDRESTART / DI_NEEDREBOOT after a class-installer call
    // An interface is active (listed with DIGCF_PRESENT) while its device is attached and enabled.
    bool interfaces_active() const { return present && !disabled && !removed; }
};

struct DeviceTree {
    std::vector<Device> devices;
    bool class_devs_fail = false;        // SetupDiGetClassDevsA refuses to build any list
    DWORD class_devs_error = 0;

    Device *find(const std::string &instance_id);  // nullptr when missing or removed
    int live_count() const;                        // devices not removed
};

}  // namespace sim

#endif
