// Planting and removing device instances together with their registry keys, and reading the
// device tree back from "System\CurrentControlSet\Enum" the way Wine keeps it, so that one
// fixture serves the host tests and the end-to-end tests.
#ifndef K440_SIM_DEVICE_TREE_H
#define K440_SIM_DEVICE_TREE_H

#include <string>

#include "machine.h"

namespace sim {

extern const char *const ENUM_ROOT;   // "System\CurrentControlSet\Enum"
extern const char *const CLASS_ROOT;  // "System\CurrentControlSet\Control\Class"

// Adds the device to the tree and writes its device key (HardwareID, ClassGUID, Driver).
Device &plant_device(Machine &machine, const Device &device);
// Adds a device for every instance key under Enum (enumerator\device\instance) that the
// tree does not hold yet; returns the number added. Devices read this way are not present.
int load_devices_from_enum(Machine &machine);
// What DIF_REMOVE does: the device leaves the tree, its device key (with parents left empty
// below Enum) and its driver key are deleted.
void remove_device_instance(Machine &machine, Device &device);

std::string guid_text(const GUID &guid);            // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
bool parse_guid(const std::string &text, GUID *guid);
bool same_guid(const GUID &a, const GUID &b);
GUID make_guid(const char *text);                   // aborts on a malformed text (tests only)

}  // namespace sim

#endif
