#include "prechecks/presence_check.h"

// Placeholder until the presence check lands: no handset is ever attached.
int is_handset_attached(const char *guid_text) {
    (void)guid_text;
    return 0;
}
