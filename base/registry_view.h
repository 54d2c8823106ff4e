// Every open of a key below HKEY_LOCAL_MACHINE goes through open_machine_key, so that no
// call can miss the run's registry view. The 32-bit installer wrote its records (uninstall
// record, product record) into the 32-bit view of HKLM\Software; the 64-bit companion reads
// and deletes them there (KEY_WOW64_32KEY). HKLM\System has one view for both, and so does
// every path on 32-bit Windows, where the view is never asked for.
#ifndef K440_BASE_REGISTRY_VIEW_H
#define K440_BASE_REGISTRY_VIEW_H

#include "base/run_record.h"
#include "platform/win32.h"

// Takes the view of the run the record describes (the companion's: the 32-bit view of
// "Software\..."); a null record puts back the program's own view when the run ends.
void use_registry_view_of(const run_record *record);

// RegOpenKeyExA of `path` below HKEY_LOCAL_MACHINE with `access`, in the run's view; answers
// what RegOpenKeyExA answered and leaves *key 0 on failure.
LONG open_machine_key(const char *path, REGSAM access, HKEY *key);
// The same for the subkey `name` of a key the caller opened at `parent_path`: the platform
// walks one name, not the whole path, for each of thousands of subkeys.
LONG open_machine_subkey(HKEY parent, const char *parent_path, const char *name, REGSAM access,
                         HKEY *key);

#endif
