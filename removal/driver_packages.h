// Driver packages on the NT family: each OEM INF copy of the driver set is handed to the
// platform's own uninstall (SetupUninstallOEMInfA, Windows XP and later), which also removes
// the catalog it was installed with and, from Windows Vista on, the package in the driver
// store, from which Windows would otherwise install the handset's driver again.
#ifndef K440_REMOVAL_DRIVER_PACKAGES_H
#define K440_REMOVAL_DRIVER_PACKAGES_H

#include "base/run_record.h"

// The file name within `path` when the path names an OEM INF copy, <windows_dir>\inf\oem*.inf;
// 0 for any other path.
const char *oem_inf_name(const char *path, const char *windows_dir);

// Calls SetupUninstallOEMInfA without the force flag once for each OEM INF copy among
// files_to_delete; to run after the devices are removed, since the platform keeps an INF
// that an installed device still uses. Returns the number of copies the platform removed.
// A copy it refused or left in place (and every copy where the platform has no such call)
// is deleted with its PNF twin by the file step, whose list holds both.
int uninstall_driver_packages(run_record *record);

#endif
