// A restart of the simulated machine: what Windows does at its next start with the work the
// running system handed over to it.
#ifndef K440_SIM_RESTART_MODEL_H
#define K440_SIM_RESTART_MODEL_H

#include <string>
#include <vector>

#include "machine.h"

namespace sim {

struct RestartReport {
    std::vector<std::string> deleted;        // files and empty folders removed
    std::vector<std::string> renamed;        // "source -> target"
    std::vector<std::string> failed;         // entries that could not be carried out
    std::vector<std::string> run_once;       // RunOnce command lines, in value order
    std::vector<std::string> deleted_keys;   // keys of services marked for deletion
};

// Carries out, in this order: the NT family's pending renames (a missing target deletes the
// source; a folder is deleted only when empty), the [rename] section of <windows>\wininit.ini
// on Windows 98/ME (target=source, replacing a file of the target name; NUL as target deletes
// the source file, not a folder nor a read-only file; the file is then renamed
// wininit.bak, unless its section held no line), the keys of the services marked for
// deletion, and the RunOnce values of HKLM, which are removed as they are taken.
RestartReport carry_out_restart(Machine &machine);

}  // namespace sim

#endif
