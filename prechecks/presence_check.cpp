#include "prechecks/presence_check.h"

#include "base/device_walk.h"

namespace {

void count_device(const walked_device *walked, void *context) {
    (void)walked;
    ++*static_cast<int *>(context);
}

}  // namespace

// A GUID text that does not parse names no class: nothing is listed and no handset counts as
// attached, like any other failure of the check.
int is_handset_attached(const char *guid_text) {
    device_walk walk = {ATTACHED_INTERFACE_DEVICES, guid_text, 0, 0, 0, 1};
    int attached = 0;
    if (walk_devices(&walk, count_device, &attached) == DEVICE_WALK_NO_LIST) return 0;
    return attached > 0;
}
