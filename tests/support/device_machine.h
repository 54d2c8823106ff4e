// Planting the product's devices on the simulated machine: device instances with their
// driver keys, the OEM INF copies with their PNF twins, and the run record lists that the
// device passes read.
#ifndef K440_TESTS_DEVICE_MACHINE_H
#define K440_TESTS_DEVICE_MACHINE_H

#include <string>
#include <vector>

#include "base/run_record.h"
#include "sim/device_tree.h"
#include "sim/machine.h"

extern const char *const PRODUCT_GUID;    // the built-in profile's product GUID
extern const char *const MODEM_CLASS;     // a device setup class
extern const char *const PORTS_CLASS;

struct DriverKeyPlan {
    std::string inf_path;       // "InfPath"; empty: no value
    std::string provider;       // "ProviderName"; empty: no value
    bool marker = false;        // the product-GUID subkey
};

// A device instance with a driver key {class}\NNNN under Control\Class.
sim::Device &plant_device_with_driver(sim::Machine &machine, const std::string &instance_id,
                                      const std::vector<std::string> &hardware_ids,
                                      const char *device_class, const std::string &instance_number,
                                      const DriverKeyPlan &plan, bool present = false);
// Makes the device expose an interface of the product's class (attached when present).
void add_product_interface(sim::Device &device);

// An INF text: the options entry (none when null), one manufacturer with one model section
// whose line carries the given hardware ids; [Version] names the catalog when one is given.
std::string inf_text(const char *options, const std::string &hardware_ids,
                     const char *signature = "$Windows NT$", const char *catalog = nullptr);
// Writes C:\WINDOWS\inf\<name> and, unless told otherwise, its PNF twin.
void plant_inf(sim::Machine &machine, const std::string &name, const std::string &text,
               bool with_pnf = true);

// Pushes the texts in the given order (so the list reads them reversed).
void push_all(string_list_entry **list, const std::vector<std::string> &texts);
std::vector<std::string> texts_of(const string_list_entry *list);
// The record's id and name lists as the inventory leaves them for the built-in profile.
void use_builtin_ids(run_record *record);

#endif
