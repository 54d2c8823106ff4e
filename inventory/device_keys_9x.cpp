#include "inventory/device_keys_9x.h"

#include "base/device_matching.h"
#include "base/key_path.h"
#include "base/mbtext.h"
#include "base/reg_helpers.h"
#include "base/text_buffer.h"
#include "base/run_log.h"

namespace {

const char *const enum_root = "Enum";

// Reads a value of an instance key below `device_key_path`; 0 when the instance path does
// not fit or the value cannot be read.
int read_instance_value(const char *device_key_path, const char *instance,
                        const char *value_name, char *value, DWORD size) {
    char instance_path[KEY_PATH_SIZE];
    if (!compose_key_path(instance_path, device_key_path, instance)) return 0;
    return reg_read_string(instance_path, value_name, value, size);
}

}  // namespace

int collect_driver_values(const char *device_key_path, string_list_entry **output) {
    string_list_entry *instances = 0;
    if (!reg_list_subkeys(device_key_path, &instances)) return 0;
    int found = 0;
    char driver[REG_NAME_SIZE];
    for (const string_list_entry *i = instances; i; i = i->next) {
        if (!read_instance_value(device_key_path, i->text, "Driver", driver, sizeof driver))
            continue;
        if (push_string(output, driver)) found = 1;
    }
    free_string_list(instances);
    return found;
}

int scan_enumerator_key(run_record *record, const char *device_name) {
    char enumerator_path[KEY_PATH_SIZE];
    if (!compose_key_path(enumerator_path, enum_root, device_name)) return 0;
    if (!reg_key_exists(enumerator_path)) return 0;
    push_string(&record->keys_to_delete, enumerator_path);
    log_line("found key %s (an enumerator named after the device name %s)", enumerator_path,
             device_name);
    string_list_entry *devices = 0;
    if (!reg_list_subkeys(enumerator_path, &devices)) return 1;
    char device_path[KEY_PATH_SIZE];
    for (const string_list_entry *d = devices; d; d = d->next) {
        if (compose_key_path(device_path, enumerator_path, d->text))
            collect_driver_values(device_path, &record->class_keys);
    }
    free_string_list(devices);
    return 1;
}

int scan_device_key(run_record *record, const char *enumerator_path, const char *device_name) {
    char device_path[KEY_PATH_SIZE];
    if (!compose_key_path(device_path, enumerator_path, device_name)) return 0;
    if (!reg_key_exists(device_path)) return 0;
    push_string(&record->keys_to_delete, device_path);
    log_line("found key %s (a device key named after the device name %s)", device_path,
             device_name);
    return collect_driver_values(device_path, &record->class_keys);
}

int scan_vid_pid_devices(run_record *record) {
    string_list_entry *enumerators = 0;
    if (!reg_list_subkeys(enum_root, &enumerators)) return 0;
    int found = 0;
    char enumerator_path[KEY_PATH_SIZE];
    char device_path[KEY_PATH_SIZE];
    for (const string_list_entry *e = enumerators; e; e = e->next) {
        if (!compose_key_path(enumerator_path, enum_root, e->text)) continue;
        string_list_entry *devices = 0;
        if (!reg_list_subkeys(enumerator_path, &devices)) continue;
        for (string_list_entry *d = devices; d; d = d->next) {
            // The path is composed before the match, which upper-cases the name in place:
            // the key is deleted under the name the platform listed.
            if (!compose_key_path(device_path, enumerator_path, d->text)) continue;
            if (!device_key_matches_ids(d->text, record->device_ids)) continue;
            push_string(&record->keys_to_delete, device_path);
            log_line("found key %s (a device key whose name holds a device id of the product)",
                     device_path);
            if (collect_driver_values(device_path, &record->class_keys)) found = 1;
        }
        free_string_list(devices);
    }
    free_string_list(enumerators);
    return found;
}

int collect_matching_instances(const char *device_key_path, const string_list_entry *names,
                               string_list_entry **output) {
    string_list_entry *instances = 0;
    if (!reg_list_subkeys(device_key_path, &instances)) return 0;
    int matched = 0;
    char hardware_id[REG_NAME_SIZE];
    char driver[REG_NAME_SIZE];
    for (const string_list_entry *i = instances; i; i = i->next) {
        if (!read_instance_value(device_key_path, i->text, "HardwareId", hardware_id,
                                 sizeof hardware_id))
            continue;
        if (!hardware_id_matches(hardware_id, 0, names)) continue;
        matched = 1;
        if (read_instance_value(device_key_path, i->text, "Driver", driver, sizeof driver))
            push_string(output, driver);
    }
    free_string_list(instances);
    return matched;
}

int scan_hardware_id_devices(run_record *record, const char *enumerator_path) {
    string_list_entry *devices = 0;
    if (!reg_list_subkeys(enumerator_path, &devices)) return 0;
    int queued = 0;
    char device_path[KEY_PATH_SIZE];
    for (const string_list_entry *d = devices; d; d = d->next) {
        if (!compose_key_path(device_path, enumerator_path, d->text)) continue;
        if (!collect_matching_instances(device_path, record->device_names, &record->class_keys))
            continue;
        if (push_string(&record->keys_to_delete, device_path)) {
            log_line("found key %s (a device key with an instance whose HardwareId names the "
                     "product)", device_path);
            queued = 1;
        }
    }
    free_string_list(devices);
    return queued;
}
