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
#include "removal/registry_deletion.h"

#define SERVICES_PARENT "System\\CurrentControlSet\\Services"

namespace {

const char *const filter_values[] = {"UpperFilters", "LowerFilters"};
const DWORD filter_properties[] = {SPDRP_UPPERFILTERS, SPDRP_LOWERFILTERS};

// The two filter lists of every device setup class; the names a list still holds go onto
// *still_named.
void take_out_of_class_keys(const string_list_entry *names, int plan_only,
                            string_list_entry **still_named) {
    string_list_entry *classes = 0;
    reg_list_subkeys(CLASS_KEYS, &classes);
    for (string_list_entry *c = classes; c; c = c->next) {
        char path[KEY_PATH_SIZE];
        if (!compose_key_path(path, CLASS_KEYS, c->text)) continue;
        for (int i = 0; i < 2; ++i)
            for (const string_list_entry *n = names; n; n = n->next)
                if (take_name_out_of_value(path, filter_values[i], entry_is_name, n->text, plan_only) &&
                    !string_list_holds(*still_named, n->text))
                    push_string(still_named, n->text);
    }
    free_string_list(classes);
}

struct device_filters {
    const string_list_entry *names;
    int plan_only;
    string_list_entry *still_named;
};

// The device's list, read whole into storage the caller frees; 0 when it has none.
char *read_device_list(const walked_device *walked, DWORD property, DWORD *size) {
    DWORD type = 0;
    *size = 0;
    SetupDiGetDeviceRegistryPropertyA(walked->set, walked->device, property, &type, 0, 0, size);
    if (!*size || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return 0;
    char *data = static_cast<char *>(malloc(*size + 2));
    if (data && (!SetupDiGetDeviceRegistryPropertyA(walked->set, walked->device, property, &type,
                                                    (BYTE *)data, *size, size) ||
                 type != REG_MULTI_SZ)) {
        free(data);
        data = 0;
    }
    return data;
}

// Takes every name out of one list of the device, written back once.
void take_out_of_device_list(const walked_device *walked, int which, device_filters *filters) {
    DWORD size;
    char *data = read_device_list(walked, filter_properties[which], &size);
    char *list = data ? static_cast<char *>(malloc(size + 2)) : 0;
    string_list_entry *named = 0;
    for (const string_list_entry *n = filters->names; list && n; n = n->next) {
        DWORD list_size;
        if (!list_without(data, size, entry_is_name, n->text, list, &list_size)) continue;
        push_string(&named, n->text);
        memcpy(data, list, list_size);
        size = list_size;
    }
    char instance_id[INSTANCE_ID_SIZE];
    for (const string_list_entry *n = named; n; n = n->next)
        if (filters->plan_only)
            log_line("plan: take %s out of the %s of device %s", n->text, filter_values[which],
                     walked_instance_id(walked, instance_id));
    if (named && !filters->plan_only) {
        const char *id = walked_instance_id(walked, instance_id);
        if (SetupDiSetDeviceRegistryPropertyA(walked->set, walked->device, filter_properties[which],
                                              size ? (const BYTE *)data : 0, size)) {
            for (const string_list_entry *n = named; n; n = n->next)
                log_line("edit device %s %s: took out %s", id, filter_values[which], n->text);
        } else {
            char failure[FAILURE_TEXT_SIZE];
            failure_text(GetLastError(), failure);
            for (const string_list_entry *n = named; n; n = n->next) {
                log_line("edit device %s %s: %s, still names %s", id, filter_values[which], failure,
                         n->text);
                if (!string_list_holds(filters->still_named, n->text))
                    push_string(&filters->still_named, n->text);
            }
        }
    }
    free_string_list(named);
    free(list);
    free(data);
}

void take_out_of_device(const walked_device *walked, void *context) {
    if (!walked->device) return;
    for (int i = 0; i < 2; ++i) take_out_of_device_list(walked, i, static_cast<device_filters *>(context));
}

}  // namespace

// One walk over the devices serves every service: listing all devices is the costly call of
// a run.
string_list_entry *take_services_out_of_filters(const run_record *record, int plan_only) {
    string_list_entry *names = 0;
    for (const string_list_entry *key = record->keys_to_delete; key; key = key->next) {
        const char *name = service_name_of(key->text);
        // A key that is gone names no service a list could still need; nothing is edited.
        if (name && key_is_present(key->text) && !string_list_holds(names, name))
            push_string(&names, name);
    }
    device_filters filters = {names, plan_only, 0};
    if (names) {
        take_out_of_class_keys(names, plan_only, &filters.still_named);
        // The inventory's walk noted the devices with lists of their own: only those are
        // reopened, so that a run lists every device of the machine once.
        device_walk walk = {EVERY_DEVICE, 0, 0, 0, 0, 1};
        if (record->devices_listed) {
            walk.source = LISTED_INSTANCES;
            walk.instance_ids = record->filtered_devices;
        }
        // Without a device list the devices' own lists cannot be seen: the class lists, which
        // decide whether the system starts, are done all the same.
        if (walk_devices(&walk, take_out_of_device, &filters) == DEVICE_WALK_NO_LIST)
            log_line("%sfilters of devices: not looked at, the device list could not be obtained",
                     plan_only ? "plan: " : "");
    }
    free_string_list(names);
    return filters.still_named;
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
