// OEM INF copies as the platform installs them, and SetupUninstallOEMInfA, which takes them
// away again: the INF copy in the INF directory, its PNF, the catalog it was installed with
// (CatRoot, named after the copy) and, from Windows Vista on, the driver package in the
// driver store from which the copy was published.
//
// SetupUninstallOEMInfA is deliberately not declared through windows_sim.h: a program finds
// it with GetProcAddress, since Windows 2000, 98 and ME have none.
#ifndef K440_SIM_DRIVER_STORE_H
#define K440_SIM_DRIVER_STORE_H

#include <string>

#include "machine.h"
#include "win_types.h"

#define SUOI_FORCEDELETE 0x00000001
#define ERROR_NOT_AN_INSTALLED_OEM_INF ((DWORD)0xE000023C)
#define ERROR_INF_IN_USE_BY_DEVICES ((DWORD)0xE000023D)

BOOL WINAPI SetupUninstallOEMInfA(PCSTR inf_file_name, DWORD flags, PVOID reserved);

namespace sim {

// The catalog root of system catalogs below the Windows directory.
extern const char *const CATROOT_SYSTEM;        // "system32\CatRoot\{F750E6C3-...}"
extern const char *const DRIVER_STORE_FOLDER;   // "System32\DriverStore\FileRepository"

// True on the Windows versions whose setupapi exports SetupUninstallOEMInfA (XP and later).
bool oem_inf_uninstall_exists();

struct PlantedPackage {
    std::string inf_path;      // <windows>\inf\<copy name>
    std::string pnf_path;
    std::string catalog_path;  // empty when the INF names no catalog
    std::string store_folder;  // empty before Windows Vista
};

// Installs an INF as the platform does: the copy <windows>\inf\<copy_name> with its PNF, the
// catalog as <copy stem>.cat in CatRoot when the INF's [Version] names one (CatalogFile), and
// on Windows Vista and later the package <original_name>_x86_<hash> in the driver store holding
// the original INF and its catalog.
PlantedPackage plant_driver_package(Machine &machine, const std::string &copy_name,
                                    const std::string &original_name, const std::string &inf_text);

}  // namespace sim

#endif
