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

}  // namespace

int service_loads_driver_file(const char *service_key_path, text_list driver_files) {
    if (!driver_files) return 0;
    HKEY key;
    if (open_machine_key(service_key_path, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    // Only an ImagePath whose ANSI form names a driver file matters, and that one must be the
    // stored text; the thousands of other services are read once.
    char image[IMAGE_PATH_SIZE];
    int loads = reg_read_ansi_string_at(key, "ImagePath", image, sizeof image) &&
                names_driver_file(image, driver_files) &&
                text_reads_as_stored(key, "ImagePath", image, sizeof image);
    RegCloseKey(key);
    return loads;
}

int find_service_keys(run_record *record) {
    string_list_entry *services = 0;
    if (!reg_list_subkeys(SERVICES_KEY, &services)) return 0;
    int queued = 0;
    for (string_list_entry *service = services; service; service = service->next) {
        char path[PATH_SIZE];
        // A service name that does not fit the path is skipped, never cut into another name.
        if (!compose_key_path(path, SERVICES_KEY, service->text)) continue;
        if (service_loads_driver_file(path, record->profile->driver_files) &&
            push_string(&record->keys_to_delete, path)) {
            log_line("found key %s (a service whose ImagePath names a driver file of the "
                     "product)", path);
            queued = 1;
        }
    }
    free_string_list(services);
    return queued;
}
