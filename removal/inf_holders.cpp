#include "removal/inf_holders.h"

#include "base/device_properties.h"
#include "base/device_walk.h"
#include "base/mbtext.h"
#include "base/reg_helpers.h"
#include "base/text_buffer.h"

#define DRIVER_CLASS_ROOT "System\\CurrentControlSet\\Control\\Class"

namespace {

struct holder_search {
    const char *inf_name;
    int other_devices_only;
    char *ids;
    size_t size;
    int count;
};

// The driver key text "{class}\NNNN" names the device's key below the class root; it is
// only read.
int device_uses_inf(const walked_device *walked, const char *inf_name) {
    char driver_key[DEVICE_PROPERTY_SIZE];
    char path[PATH_SIZE];
    char inf_path[PATH_SIZE];
    return walked->device && get_driver_key(walked->set, walked->device, driver_key) &&
           text_join(path, sizeof path, DRIVER_CLASS_ROOT, "\\", driver_key) &&
           reg_read_string(path, "InfPath", inf_path, sizeof inf_path) &&
           mb_equal_nocase(inf_path, inf_name);
}

void note_holder(const walked_device *walked, void *context) {
    holder_search *search = (holder_search *)context;
    if ((search->other_devices_only && walked->matches) ||
        !device_uses_inf(walked, search->inf_name))
        return;
    char instance_id[INSTANCE_ID_SIZE];
    const char *id = walked_instance_id(walked, instance_id);
    // An id that does not fit is counted, not cut; text_append leaves the text as it was.
    char joined[INSTANCE_ID_SIZE + 2];
    if (text_join(joined, sizeof joined, search->ids[0] ? ", " : "", "", id))
        text_append(search->ids, search->size, joined);
    ++search->count;
}

}  // namespace

int count_inf_holders(const run_record *record, const char *inf_name, int other_devices_only,
                      char *ids, size_t size) {
    ids[0] = '\0';
    holder_search search = {inf_name, other_devices_only, ids, size, 0};
    device_walk walk = {EVERY_DEVICE, 0, 0, record->device_ids, record->device_names, 1};
    walk_devices(&walk, note_holder, &search);
    return search.count;
}
