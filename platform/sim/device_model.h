// The device tree of the simulated machine, as SetupAPI sees it.
#ifndef K440_SIM_DEVICE_MODEL_H
#define K440_SIM_DEVICE_MODEL_H

#include <string>
#include <vector>

#include "win_types.h"

namespace sim {

struct DeviceInterface {
    GUID interface_class{};
    std::string device_path;
};

struct Device {
    std::string instance_id;             // "USB\VID_FFFF&PID_0001\5&1234&0&1"
    GUID device_class{};
    std::vector<std::string> hardware_ids;
    std::string driver_key;              // "{class GUID}\0000", empty when never installed
    bool present = false;
    bool disabled = false;
    bool removed = false;
    std::vector<DeviceInterface> interfaces;
    // Faults and platform answers a test can set per device.
    bool refuse_disable = false;
    bool refuse_remove = false;
    DWORD install_flags_after_call = 0;  // DI_NEEDRESTART / DI_NEEDREBOOT after a class-installer call
};

struct DeviceTree {
    std::vector<Device> devices;
    bool class_devs_fail = false;        // SetupDiGetClassDevsA refuses to build any list
    DWORD class_devs_error = 0;
};

}  // namespace sim

#endif
