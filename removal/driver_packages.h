// Driver packages on the NT family, removed the way the platform asks for after the devices
// are gone: each OEM INF copy of the driver set is handed to SetupUninstallOEMInfA (Windows
// XP and later), which also takes away the catalog the copy was installed with and, from
// Windows Vista on, the package in the driver store, from which Windows would otherwise
// install the handset's driver again. While a device still uses the INF (another model of the
// driver set, or a device that could not be removed) the platform refuses, and the copy, its
// PNF and its package stay together: deleting the files alone would leave the store package
// without the published name that pnputil needs to remove it. Where the platform has no such
// call, refuses for another reason, or keeps the copy, the INF and its PNF twin are deleted
// as plain files. This step owns the INF/PNF pairs; the listed-file step leaves them alone.
#ifndef K440_REMOVAL_DRIVER_PACKAGES_H
#define K440_REMOVAL_DRIVER_PACKAGES_H

#include "base/run_record.h"
#include "platform/win32.h"

// The route one OEM INF copy took.
enum oem_inf_route {
    OEM_INF_UNINSTALLED = 1,  // the platform removed the copy with its PNF, catalog and package
    OEM_INF_IN_USE,           // refused, devices use the INF: the copy, PNF and package stay
    OEM_INF_REFUSED,          // the call failed otherwise (`error`); deleted as a file
    OEM_INF_KEPT,             // the call answered success and kept the copy; deleted as a file
    OEM_INF_NO_CALL,          // this Windows has no such call; deleted as a file
    OEM_INF_ABSENT            // the copy was not there; no call, only its PNF twin deleted
};

struct oem_inf_outcome {
    int route;    // oem_inf_route
    DWORD error;  // the platform's error for OEM_INF_IN_USE and OEM_INF_REFUSED, else 0
};

// The file name within `path` when the path names an OEM INF copy, <windows_dir>\inf\oem*.inf;
// 0 for any other path.
const char *oem_inf_name(const char *path, const char *windows_dir);

// SetupUninstallOEMInfA on Windows XP and later (os_class 8 or more), else 0; never called
// with the force flag, which would pull the INF from under a device still installed from it.
uninstall_oem_inf_function find_uninstall_oem_inf(int os_class);

// The platform's part for one OEM INF copy given by its full path: its uninstall when
// `uninstall` is given (else OEM_INF_NO_CALL), and the route that took.
oem_inf_outcome remove_oem_inf(uninstall_oem_inf_function uninstall, const char *inf_path);

// The files a route leaves to delete: the INF copy (unless it was absent) and its PNF twin,
// as listed files (removal/listed_deletion.h), handed to the restart while held open. Nothing
// for a copy the platform uninstalled or keeps in use. Returns the files left in place.
int delete_oem_inf_files(const oem_inf_outcome *outcome, const char *inf_path,
                         string_list_entry **restart_list);

// The first entry from `from` on in files_to_delete that names an OEM INF copy listed no
// earlier, or 0: each copy once, in list order.
const string_list_entry *next_driver_package(const run_record *record,
                                             const string_list_entry *from);

// 1 for a path of files_to_delete that this step deals with on the NT family: an OEM INF
// copy, or the PNF twin of one listed there.
int is_driver_package_file(const run_record *record, const char *path);

// Removes each OEM INF copy among files_to_delete once, in list order; NT family only, and
// to run after the devices are removed, since the platform keeps an INF that an installed
// device still uses. A copy in use is logged with the devices that hold it. Returns how many
// items stayed: copies in use, and files that could neither be deleted nor handed over.
int uninstall_driver_packages(run_record *record, string_list_entry **restart_list);

#endif
