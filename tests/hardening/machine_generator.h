// Random simulated machines (NT family and Windows 98/ME) that hold a complete or partial
// installation of the driver set among many unrelated keys, values, files and devices whose
// names, ids and paths come close to the product's. The generator records which entries are
// the product's, so that a run's changes can be checked against it: those go, nothing else
// changes. The same seed gives the same machine.
#ifndef K440_TESTS_MACHINE_GENERATOR_H
#define K440_TESTS_MACHINE_GENERATOR_H

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "sim/machine.h"

struct GeneratedMachine {
    int os_class = 0;
    // Keys that go with everything below them.
    std::set<std::string> product_keys;
    // Values (key path, value name) that go while their key stays.
    std::set<std::pair<std::string, std::string>> product_values;
    // Files that are deleted by the run itself.
    std::set<std::string> product_files;
    // Entries the run may change but not delete: the running program (its attributes are
    // cleared for the deletion at the restart, and the NT family renames it aside) and the
    // restart list file of Windows 98/ME.
    std::set<std::string> may_change_files;
    int unrelated_keys = 0;   // counts of what was planted beside the driver set
    int unrelated_files = 0;
    int devices = 0;
};

// Plants a machine for `os_class` into `machine` (a fresh one with the SimTest layout) and
// sets the process's program path.
GeneratedMachine generate_machine(sim::Machine &machine, sim::Process &process, int os_class,
                                  uint32_t seed);

#endif
