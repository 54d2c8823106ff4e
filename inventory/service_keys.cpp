#include "inventory/service_keys.h"

#include <string.h>

#include "base/key_path.h"
#include "base/mbtext.h"
#include "base/reg_helpers.h"
#include "base/registry_view.h"
#include "base/reg_text.h"
#include "base/run_log.h"

#define IMAGE_PATH_SIZE 260

namespace {

// Case folding keeps each character's width, so names of two lengths never compare equal:
// the thousands of other services' names are not compared at all.
int names_driver_file(const char *image_path, text_list driver_files) {
    const char *slash = mb_find_last_char(image_path, '\\');
    if (!slash) return 0;
    size_t length = strlen(slash + 1);
    for (int i = 0; driver_files[i]; ++i)
        if (strlen(driver_files[i]) == length && mb_equal_nocase(slash + 1, driver_files[i]))
            return 1;
    return 0;
}

// Only an ImagePath whose ANSI form names a driver file matters, and that one must be the
// stored text; the thousands of other services are read once.
int image_names_driver_file(HKEY service, text_list driver_files) {
    char image[IMAGE_PATH_SIZE];
    return reg_read_ansi_string_at(service, "ImagePath", image, sizeof image) &&
           names_driver_file(image, driver_files) &&
           text_reads_as_stored(service, "ImagePath", image, sizeof image);
}

struct service_search {
    text_list driver_files;
    string_list_entry *found;  // newest first
};

void examine_service(HKEY services_key, const char *name, void *context) {
    service_search *search = static_cast<service_search *>(context);
    char path[PATH_SIZE];
    // A service name that does not fit the path is skipped, never cut into another name.
    if (!compose_key_path(path, SERVICES_KEY, name)) return;
    HKEY key;
    if (open_machine_subkey(services_key, SERVICES_KEY, name, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    int loads = image_names_driver_file(key, search->driver_files);
    RegCloseKey(key);
    if (loads) push_string(&search->found, path);
}

}  // namespace

int service_loads_driver_file(const char *service_key_path, text_list driver_files) {
    if (!driver_files) return 0;
    HKEY key;
    if (open_machine_key(service_key_path, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    int loads = image_names_driver_file(key, driver_files);
    RegCloseKey(key);
    return loads;
}

int find_service_keys(run_record *record) {
    if (!record->profile->driver_files) return 0;
    HKEY services_key;
    if (open_machine_key(SERVICES_KEY, KEY_READ, &services_key) != ERROR_SUCCESS) return 0;
    service_search search = {record->profile->driver_files, 0};
    reg_visit_subkeys_at(services_key, examine_service, &search);
    RegCloseKey(services_key);
    // Queued from the last found back, so that the keys are deleted in the platform's order.
    int queued = 0;
    for (string_list_entry *path = search.found; path; path = path->next) {
        if (!push_string(&record->keys_to_delete, path->text)) continue;
        log_line("found key %s (a service whose ImagePath names a driver file of the product)",
                 path->text);
        queued = 1;
    }
    free_string_list(search.found);
    return queued;
}
