// A service key of the driver set on the NT family goes through the service manager, as
// Windows' own uninstallers remove a driver service: the manager forgets the service and
// deletes its key itself once the service is stopped; a running service is never stopped by
// force, its key goes at the next restart.
#ifndef K440_REMOVAL_SERVICE_DELETION_H
#define K440_REMOVAL_SERVICE_DELETION_H

#include "platform/win32.h"
#include "removal/deletion_outcome.h"

// Deletes the key "...\Services\<name>" of the service `name`: through DeleteService, handed
// to the restart while the service runs (or was marked for deletion before); a key that is no
// registered service, or where the service manager's functions are missing, is deleted as a
// key tree, and so is what stays of a stopped service's key after the manager deleted it.
// *manager is the run's connection to the service manager: made by the first call that needs
// it, kept for the later ones (each connection costs the manager a pipe and threads of its
// own) and ended by close_service_manager.
deletion_outcome delete_service_key(const char *key_path, const char *name, SC_HANDLE *manager);
void close_service_manager(SC_HANDLE *manager);

#endif
