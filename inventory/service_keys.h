// The NT family's service keys of the driver set: every key under
// "System\CurrentControlSet\Services" whose "ImagePath" names one of the driver files.
#ifndef K440_INVENTORY_SERVICE_KEYS_H
#define K440_INVENTORY_SERVICE_KEYS_H

#include "base/profile.h"
#include "base/run_record.h"

#define SERVICES_KEY "System\\CurrentControlSet\\Services"

// Queues each such key on keys_to_delete; 1 when at least one was queued.
int find_service_keys(run_record *record);
// 1 when the file name after the last backslash of the service's "ImagePath" equals one of
// the names (a bare file name without any folder never matches).
int service_loads_driver_file(const char *service_key_path, text_list driver_files);

#endif
