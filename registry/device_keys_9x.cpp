#include "registry/device_keys_9x.h"

// Placeholders until the Windows 98/ME device-key scans land: they find nothing.
int scan_enumerator_key(run_record *record, const char *device_name) {
    (void)record;
    (void)device_name;
    return 0;
}

int scan_device_key(run_record *record, const char *enumerator_path, const char *device_name) {
    (void)record;
    (void)enumerator_path;
    (void)device_name;
    return 0;
}

int scan_vid_pid_devices(run_record *record) {
    (void)record;
    return 0;
}

int scan_hardware_id_devices(run_record *record, const char *enumerator_path) {
    (void)record;
    (void)enumerator_path;
    return 0;
}
