// Files in use are renamed within their folder before they go to the restart. The restart
// deletes by name: a file handed over under its own name would take with it the file that a
// reinstall or an upgrade puts there before the restart. Windows renames a running program,
// a loaded driver or DLL within its volume; only deleting them has to wait.
#ifndef K440_REMOVAL_SET_ASIDE_H
#define K440_REMOVAL_SET_ASIDE_H

#include <stddef.h>

#include "base/profile.h"

// Renames the file at `path` to a free name of its own in the same folder (the profile's
// short name, "_del", a number, ".tmp": base/set_aside_name.h; never a name of the driver
// set's files) and puts the new path into `aside`. 1 when renamed; 0 leaves the file where it
// was, as it does a file an earlier run set aside.
int set_file_aside(const product_profile *profile, const char *path, char *aside, size_t size);

#endif
