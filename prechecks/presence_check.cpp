#include "prechecks/presence_check.h"

#include "base/guid_text.h"
#include "prechecks/device_enumeration.h"

// A GUID text that does not parse names no class: nothing is enumerated and no handset
// counts as attached, like any other failure of the check.
int is_handset_attached(const char *guid_text) {
    GUID interface_class;
    if (!parse_guid_text(guid_text, &interface_class)) return 0;
    device_enumeration *record = 0;
    int attached = 0;
    if (enumerate_devices(&record, &interface_class, 1, 0)) attached = record->count > 0;
    free_device_enumeration(record);
    return attached;
}
