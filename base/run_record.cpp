#include "base/run_record.h"

int free_run_lists(run_record *record) {
    record->device_ids = free_string_list(record->device_ids);
    record->device_names = free_string_list(record->device_names);
    record->class_keys = free_string_list(record->class_keys);
    record->files_to_delete = free_string_list(record->files_to_delete);
    record->keys_to_delete = free_string_list(record->keys_to_delete);
    record->values_to_delete = free_value_pair_list(record->values_to_delete);
    record->driver_keys = free_string_list(record->driver_keys);
    record->device_instances = free_string_list(record->device_instances);
    record->filtered_devices = free_string_list(record->filtered_devices);
    record->devices_listed = 0;
    return 0;
}
