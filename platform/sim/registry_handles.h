// Open registry key handles of the simulated platform, shared by the registry and the
// security functions (RegGetKeySecurity works on the same handles).
#ifndef K440_SIM_REGISTRY_HANDLES_H
#define K440_SIM_REGISTRY_HANDLES_H

#include "machine.h"

namespace sim {

struct OpenKey {
    RegKey *key = nullptr;
    REGSAM access = 0;
};

// Resolves HKEY_LOCAL_MACHINE or a handle of an open key; nullptr for anything else.
OpenKey *resolve_key(HKEY handle);
HKEY open_key_handle(RegKey *key, REGSAM access);
bool close_key_handle(HKEY handle);
// The access rights a request names, with generic rights mapped as registry keys map them.
DWORD map_key_access(REGSAM desired);
int open_key_handle_count();

}  // namespace sim

#endif
