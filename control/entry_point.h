// The process entry and what it prepares before the main flow runs.
#ifndef K440_CONTROL_ENTRY_POINT_H
#define K440_CONTROL_ENTRY_POINT_H

#include "base/profile.h"

// Stores the ids of the confirmation dialog and its controls (resources/resource.h) into the
// profile.
void store_dialog_ids(product_profile *profile);

#endif
