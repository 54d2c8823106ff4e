// The devices that keep an OEM INF copy in use: SetupUninstallOEMInfA refuses to take a copy
// away while any installed device, attached or not, was installed from it, and the run names
// those devices so that the reader knows what holds the driver package.
#ifndef K440_REMOVAL_INF_HOLDERS_H
#define K440_REMOVAL_INF_HOLDERS_H

#include <stddef.h>

#include "base/run_record.h"

// Walks every device once and counts those whose driver key names `inf_name` (a bare copy
// name, "oem12.inf") as its "InfPath"; the product's own devices are passed over when
// `other_devices_only` (the removal takes them first). Their instance ids go into `ids`,
// joined by ", ", as many as fit; the text stays whole, never cut inside an id.
int count_inf_holders(const run_record *record, const char *inf_name, int other_devices_only,
                      char *ids, size_t size);

#endif
