// Driver packages on the NT family, removed the way the platform asks for after the devices
// are gone: each OEM INF copy of the driver set is handed to SetupUninstallOEMInfA (Windows
// XP and later), which also takes away the catalog the copy was installed with and, from
// Windows Vista on, the package in the driver store, from which Windows would otherwise
// install the handset's driver again. Where the platform has no such call, refuses, or keeps
// the copy, the INF and its PNF twin are deleted as plain files.
#ifndef K440_REMOVAL_DRIVER_PACKAGES_H
#define K440_REMOVAL_DRIVER_PACKAGES_H

#include "base/run_record.h"
#include "platform/win32.h"

// The route one OEM INF copy took.
enum oem_inf_route {
    OEM_INF_UNINSTALLED = 1,  // the platform removed the copy with its PNF, catalog and package
    OEM_INF_REFUSED,          // the call failed (`error`); the copy was deleted as a file
    OEM_INF_KEPT,             // the call answered success and kept the copy; deleted as a file
    OEM_INF_NO_CALL,          // this Windows has no such call; deleted as a file
    OEM_INF_ABSENT            // the copy was not there; no call, only its PNF twin deleted
};

struct oem_inf_outcome {
    int route;            // oem_inf_route
    DWORD error;          // the platform's error for OEM_INF_REFUSED, else 0
    int inf_left;         // 1 when the INF copy is still there afterwards
    int pnf_left;         // 1 when its PNF twin is still there afterwards
};

// The file name within `path` when the path names an OEM INF copy, <windows_dir>\inf\oem*.inf;
// 0 for any other path.
const char *oem_inf_name(const char *path, const char *windows_dir);

// SetupUninstallOEMInfA on Windows XP and later (os_class 8 or more), else 0; never called
// with the force flag, which would pull the INF from under a device still installed from it.
uninstall_oem_inf_function find_uninstall_oem_inf(int os_class);

// Removes one OEM INF copy given by its full path: the platform's uninstall when `uninstall`
// is given, then DeleteFileA for the INF and its PNF twin wherever the copy is still there.
oem_inf_outcome remove_oem_inf(uninstall_oem_inf_function uninstall, const char *inf_path);

// The first entry from `from` on in files_to_delete that names an OEM INF copy listed no
// earlier, or 0: each copy once, in list order.
const string_list_entry *next_driver_package(const run_record *record,
                                             const string_list_entry *from);

// Removes each OEM INF copy among files_to_delete once, in list order; NT family only, and
// to run after the devices are removed, since the platform keeps an INF that an installed
// device still uses. A copy that stays is still listed: the file deletion after it deletes,
// hands over or counts it as left.
void uninstall_driver_packages(run_record *record);

#endif
