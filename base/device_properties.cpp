#include "base/device_properties.h"

#include <stdlib.h>
#include <string.h>

namespace {

// Copies the first string of a multi-string of `size` bytes into `buffer`; a first string
// longer than the buffer keeps its first DEVICE_PROPERTY_SIZE - 1 bytes (the matching looks
// at fewer than that).
void copy_first_string(const char *list, DWORD size, char *buffer) {
    size_t length = 0;
    while (length < size && list[length]) ++length;
    if (length > DEVICE_PROPERTY_SIZE - 1) length = DEVICE_PROPERTY_SIZE - 1;
    memcpy(buffer, list, length);
    buffer[length] = '\0';
}

// A hardware-id list longer than the buffer is read whole into a block of the size the
// platform asks for, so that its first id is tested as it stands rather than whatever the
// platform left in the buffer.
int read_long_hardware_id(HDEVINFO set, SP_DEVINFO_DATA *device, DWORD needed, char *buffer) {
    char *block = (char *)calloc(1, needed + 2);
    if (!block) return 0;
    DWORD type = REG_MULTI_SZ;
    int done = SetupDiGetDeviceRegistryPropertyA(set, device, SPDRP_HARDWAREID, &type,
                                                 (PBYTE)block, needed, 0);
    if (done) copy_first_string(block, needed, buffer);
    free(block);
    return done;
}

}  // namespace

int get_hardware_id(HDEVINFO device_info_set, SP_DEVINFO_DATA *device, char *buffer) {
    DWORD type = REG_MULTI_SZ;
    DWORD needed = 0;
    if (SetupDiGetDeviceRegistryPropertyA(device_info_set, device, SPDRP_HARDWAREID, &type,
                                          (PBYTE)buffer, DEVICE_PROPERTY_SIZE, &needed)) {
        // A property stored without its terminator still ends inside the buffer.
        buffer[needed < DEVICE_PROPERTY_SIZE ? needed : DEVICE_PROPERTY_SIZE - 1] = '\0';
        return 1;
    }
    if (GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed > DEVICE_PROPERTY_SIZE &&
        read_long_hardware_id(device_info_set, device, needed, buffer))
        return 1;
    buffer[0] = '\0';
    return 0;
}

// A driver key text that does not fit is not read at all: a cut text would name another key.
int get_driver_key(HDEVINFO device_info_set, SP_DEVINFO_DATA *device, char *buffer) {
    DWORD type = REG_SZ;
    DWORD needed = 0;
    if (SetupDiGetDeviceRegistryPropertyA(device_info_set, device, SPDRP_DRIVER, &type,
                                          (PBYTE)buffer, DEVICE_PROPERTY_SIZE, &needed) &&
        needed < DEVICE_PROPERTY_SIZE) {
        buffer[needed] = '\0';
        return 1;
    }
    buffer[0] = '\0';
    return 0;
}

int has_own_filters(HDEVINFO device_info_set, SP_DEVINFO_DATA *device) {
    const DWORD lists[] = {SPDRP_UPPERFILTERS, SPDRP_LOWERFILTERS};
    for (int i = 0; i < 2; ++i) {
        DWORD needed = 0;
        if (!SetupDiGetDeviceRegistryPropertyA(device_info_set, device, lists[i], 0, 0, 0,
                                               &needed) &&
            GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed)
            return 1;
    }
    return 0;
}
