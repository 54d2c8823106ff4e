// The registry view of the product's records. The 32-bit installer wrote its records
// (uninstall record, product record) into the 32-bit view of HKLM\Software; the 64-bit
// companion reads and deletes them there (KEY_WOW64_32KEY). HKLM\System has one view for
// both, and so does every path on 32-bit Windows, where the view is never asked for.
#ifndef K440_BASE_REGISTRY_VIEW_H
#define K440_BASE_REGISTRY_VIEW_H

#include "platform/win32.h"

// Set by the main flow for the run of the 64-bit program, cleared when the run ends.
void use_32bit_software_view(int on);

// The access bits to add when a key at `path` below HKEY_LOCAL_MACHINE is opened: 0, or
// KEY_WOW64_32KEY for "Software\..." in the 64-bit program's run.
REGSAM software_view_access(const char *path);

#endif
