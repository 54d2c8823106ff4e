// Windows' rules for the removal of a driver service and of a co-installer DLL. A service named
// in an UpperFilters or LowerFilters list of a device setup class or of a device must be taken
// out of it before the service goes: Windows starts no device of a class whose filter is
// missing (Code 19 or 39; for a disk filter the system no longer boots). Likewise a DLL named in
// a co-installer list of CoDeviceInstallers must be taken out before the file goes, or every
// installation of a device of that class fails.
#ifndef K440_REMOVAL_FILTER_REFERENCES_H
#define K440_REMOVAL_FILTER_REFERENCES_H

#include "base/run_record.h"

#define CLASS_KEYS "System\\CurrentControlSet\\Control\\Class"
#define CO_INSTALLERS_KEY "System\\CurrentControlSet\\Control\\CoDeviceInstallers"

// Takes the names of the record's service keys that are there (NT family) out of every
// filter list of the classes and of the devices (all classes, attached or not, listed once,
// through SetupAPI: the device keys under Enum are writable only by SYSTEM). Returns the
// names a list still holds after a failed edit (their services must stay), for the caller to
// free. With `plan_only` it only writes "plan: ..." lines and returns 0.
string_list_entry *take_services_out_of_filters(const run_record *record, int plan_only);

// Takes the DLL out of every co-installer list of CoDeviceInstallers; 0, or the error of an
// edit that failed (the DLL must then stay).
unsigned long take_dll_out_of_co_installers(const char *dll_name, int plan_only);

// The service name of a key directly below Services ("...\Services\<name>"), else 0.
const char *service_name_of(const char *key_path);
// The file name of a DLL in the system folder (<windows>\system32), where Windows looks for
// the co-installers its lists name; 0 for any other path.
const char *co_installer_name_of(const run_record *record, const char *path);

#endif
