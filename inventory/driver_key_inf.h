// The rule that follows a driver key to the INF copy it was installed from, for both families.
#ifndef K440_INVENTORY_DRIVER_KEY_INF_H
#define K440_INVENTORY_DRIVER_KEY_INF_H

#include <stddef.h>

#include "platform/win32.h"

// Where each family keeps the INF copies that driver keys name, and how it names them.
enum inf_copy_family {
    INF_COPIES_9X,  // "inf\other" under the name the INF came with
    INF_COPIES_NT   // "inf" itself, under an "oem<n>.inf" name
};

// Writes windows_dir + the family's INF folder + the driver key's "InfPath" into inf_path and
// answers 1 when the driver key marks that INF as the product's: through a subkey named by
// product_guid, or else by a "ProviderName" other than Microsoft (on the NT family only
// together with an "oem" name). An "InfPath" that is not a bare file name, or does not fit,
// gives 0: it would lead the deletion out of the INF folder.
int driver_key_inf(HKEY driver_key, int family, const char *product_guid, const char *windows_dir,
                   char *inf_path, size_t size);

#endif
