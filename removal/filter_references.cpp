#include "removal/filter_references.h"

#include <stdlib.h>
#include <string.h>

#include "base/device_walk.h"
#include "base/mbtext.h"
#include "base/reg_helpers.h"
#include "base/key_path.h"
#include "base/run_log.h"
#include "base/text_buffer.h"
#include "removal/name_list_values.h"

#define SERVICES_PARENT "System\\CurrentControlSet\\Services"

namespace {

const char *const filter_values[] = {"UpperFilters", "LowerFilters"};
const DWORD filter_properties[] = {SPDRP_UPPERFILTERS, SPDRP_LOWERFILTERS};

// The two filter lists of every device setup class.
unsigned long take_out_of_class_keys(const char *service_name, int plan_only) {
    string_list_entry *classes = 0;
    reg_list_subkeys(CLASS_KEYS, &classes);
    unsigned long error = 0;
    for (string_list_entry *c = classes; c; c = c->next) {
        char path[KEY_PATH_SIZE];
        if (!compose_key_path(path, CLASS_KEYS, c->text)) continue;
        for (int i = 0; i < 2; ++i) {
            unsigned long e =
                take_name_out_of_value(path, filter_values[i], entry_is_name, service_name, plan_only);
            if (e) error = e;
        }
    }
    free_string_list(classes);
    return error;
}

struct device_filters {
    const char *service_name;
    int plan_only;
    unsigned long error;
};

// The device's list, read whole into storage the caller frees; 0 when it has none.
char *read_device_list(const walked_device *walked, DWORD property, DWORD *size) {
    DWORD type = 0;
    *size = 0;
    SetupDiGetDeviceRegistryPropertyA(walked->set, walked->device, property, &type, 0, 0, size);
    if (!*size || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return 0;
    char *data = static_cast<char *>(malloc(*size + 1));
    if (data && (!SetupDiGetDeviceRegistryPropertyA(walked->set, walked->device, property, &type,
                                                    (BYTE *)data, *size, size) ||
                 type != REG_MULTI_SZ)) {
        free(data);
        data = 0;
    }
    return data;
}

void take_out_of_device(const walked_device *walked, void *context) {
    device_filters *filters = static_cast<device_filters *>(context);
    if (!walked->device) return;
    for (int i = 0; i < 2; ++i) {
        DWORD size;
        char *data = read_device_list(walked, filter_properties[i], &size);
        char *list = data ? static_cast<char *>(malloc(size + 2)) : 0;
        DWORD list_size = 0;
        if (list && list_without(data, size, entry_is_name, filters->service_name, list, &list_size)) {
            char instance_id[INSTANCE_ID_SIZE];
            const char *id = walked_instance_id(walked, instance_id);
            if (filters->plan_only) {
                log_line("plan: take %s out of the %s of device %s", filters->service_name,
                         filter_values[i], id);
            } else if (SetupDiSetDeviceRegistryPropertyA(walked->set, walked->device,
                                                         filter_properties[i],
                                                         list_size ? (const BYTE *)list : 0,
                                                         list_size)) {
                log_line("edit device %s %s: took out %s", id, filter_values[i],
                         filters->service_name);
            } else {
                char failure[FAILURE_TEXT_SIZE];
                filters->error = GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED;
                log_line("edit device %s %s: %s, still names %s", id, filter_values[i],
                         failure_text(filters->error, failure), filters->service_name);
            }
        }
        free(list);
        free(data);
    }
}

}  // namespace

unsigned long take_service_out_of_filters(const char *service_name, int plan_only) {
    unsigned long error = take_out_of_class_keys(service_name, plan_only);
    device_filters filters = {service_name, plan_only, 0};
    device_walk walk = {EVERY_DEVICE, 0, 0, 0, 0, 1};
    // Without a device list the devices' own lists cannot be seen: the class lists, which
    // decide whether the system starts, are done all the same.
    if (walk_devices(&walk, take_out_of_device, &filters) == DEVICE_WALK_NO_LIST)
        log_line("%sfilters of devices for %s: not looked at, the device list could not be "
                 "obtained", plan_only ? "plan: " : "", service_name);
    return filters.error ? filters.error : error;
}

unsigned long take_dll_out_of_co_installers(const char *dll_name, int plan_only) {
    string_list_entry *classes = 0;
    reg_list_values(CO_INSTALLERS_KEY, &classes);
    unsigned long error = 0;
    for (string_list_entry *c = classes; c; c = c->next) {
        unsigned long e =
            take_name_out_of_value(CO_INSTALLERS_KEY, c->text, entry_is_dll, dll_name, plan_only);
        if (e) error = e;
    }
    free_string_list(classes);
    return error;
}

const char *service_name_of(const char *key_path) {
    const size_t length = strlen(SERVICES_PARENT);
    if (strlen(key_path) <= length + 1 || key_path[length] != '\\' ||
        !mb_prefix_equal_nocase(key_path, SERVICES_PARENT, length))
        return 0;
    const char *name = key_path + length + 1;
    return mb_find_char(name, '\\') ? 0 : name;
}

const char *co_installer_name_of(const run_record *record, const char *path) {
    char folder[PATH_SIZE];
    const char *slash = mb_find_last_char(path, '\\');
    if (!slash || !record->windows_dir[0] ||
        !text_join(folder, sizeof folder, record->windows_dir, "\\", "system32") ||
        strlen(folder) != (size_t)(slash - path) ||
        !mb_prefix_equal_nocase(path, folder, strlen(folder)))
        return 0;
    const char *dot = mb_find_last_char(slash, '.');
    return dot && mb_equal_nocase(dot, ".dll") ? slash + 1 : 0;
}
