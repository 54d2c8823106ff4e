#include "prechecks/device_enumeration.h"

#include <stdlib.h>
#include <string.h>

namespace {

device_enumeration *new_enumeration(void) {
    device_enumeration *record = (device_enumeration *)calloc(1, sizeof(device_enumeration));
    if (!record) return 0;
    record->entries =
        (device_enumeration_entry *)calloc(ENUMERATION_GROWTH, sizeof(device_enumeration_entry));
    if (!record->entries) {
        free(record);
        return 0;
    }
    record->info_set = INVALID_HANDLE_VALUE;
    record->capacity = ENUMERATION_GROWTH;
    return record;
}

// Every entry is zero-filled until used, so all of them can be released, including one that
// was filled but not yet counted when a failure cut the enumeration short.
void release_details(device_enumeration *record) {
    for (unsigned i = 0; i < record->capacity; ++i) {
        free(record->entries[i].detail);
        record->entries[i].detail = 0;
    }
}

int grow(device_enumeration *record) {
    unsigned capacity = record->capacity + ENUMERATION_GROWTH;
    device_enumeration_entry *entries =
        (device_enumeration_entry *)calloc(capacity, sizeof(device_enumeration_entry));
    if (!entries) return 0;
    memcpy(entries, record->entries, record->capacity * sizeof(device_enumeration_entry));
    free(record->entries);
    record->entries = entries;
    record->capacity = capacity;
    return 1;
}

// Fills the entry's detail block; 1 when done, 0 with *error set when the platform refused.
// An error of 0 from the second call ends the enumeration without the entry.
int read_detail(device_enumeration *record, device_enumeration_entry *entry, DWORD *error) {
    DWORD needed = 0;
    SetLastError(0);
    if (SetupDiGetDeviceInterfaceDetailA(record->info_set, &entry->interface_data, 0, 0, &needed, 0) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        *error = GetLastError();
        return 0;
    }
    size_t block = needed > sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)
                       ? needed
                       : sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    entry->detail = (SP_DEVICE_INTERFACE_DETAIL_DATA_A *)calloc(1, block);
    if (!entry->detail) {
        *error = ERROR_OUTOFMEMORY;
        return 0;
    }
    entry->detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (SetupDiGetDeviceInterfaceDetailA(record->info_set, &entry->interface_data, entry->detail,
                                         needed, 0, &entry->device))
        return 1;
    free(entry->detail);
    entry->detail = 0;
    *error = GetLastError();
    return 0;
}

// Fills entries from index 0 until the platform has no more. 1 at the end of the list.
int fill_entries(device_enumeration *record, const GUID *class_guid, DWORD *error) {
    for (DWORD index = 0;; ++index) {
        device_enumeration_entry *entry = &record->entries[record->count];
        entry->device.cbSize = sizeof(SP_DEVINFO_DATA);
        entry->interface_data.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
        BOOL found;
        if (record->mode == ENUMERATION_MODE_DEVICES) {
            entry->interface_data.cbSize = 0;
            found = SetupDiEnumDeviceInfo(record->info_set, index, &entry->device);
        } else {
            found = SetupDiEnumDeviceInterfaces(record->info_set, 0, class_guid, index,
                                                &entry->interface_data);
        }
        if (!found) {
            *error = GetLastError();
            return *error == ERROR_NO_MORE_ITEMS || *error == 0;
        }
        if (record->mode == ENUMERATION_MODE_INTERFACES && !read_detail(record, entry, error))
            return *error == 0;
        if (record->count + 1 == record->capacity && !grow(record)) {
            *error = ERROR_OUTOFMEMORY;
            return 0;
        }
        ++record->count;
    }
}

}  // namespace

int enumerate_devices(device_enumeration **holder, const GUID *class_guid, int present_only,
                      int device_mode) {
    DWORD flags;
    if (!class_guid) {
        flags = DIGCF_ALLCLASSES;
        device_mode = 1;
    } else {
        flags = device_mode ? 0 : DIGCF_DEVICEINTERFACE;
    }
    if (present_only) flags |= DIGCF_PRESENT;
    if (!holder) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    device_enumeration *record = *holder;
    if (!record && !(record = new_enumeration())) {
        SetLastError(ERROR_OUTOFMEMORY);
        return 0;
    }
    // A reused record starts over (an entry left uncounted by a failure is released too).
    release_details(record);
    memset(record->entries, 0, record->capacity * sizeof(device_enumeration_entry));
    record->count = 0;
    DWORD error = 0;
    int done = 0;
    if (record->info_set == INVALID_HANDLE_VALUE) {
        HDEVINFO set = SetupDiGetClassDevsA(class_guid, 0, 0, flags);
        if (set == INVALID_HANDLE_VALUE)
            error = GetLastError();
        else {
            record->info_set = set;
            record->mode = device_mode ? ENUMERATION_MODE_DEVICES : ENUMERATION_MODE_INTERFACES;
        }
    }
    if (record->info_set != INVALID_HANDLE_VALUE) done = fill_entries(record, class_guid, &error);
    if (done) {
        *holder = record;
        return 1;
    }
    if (!*holder) free_device_enumeration(record);
    SetLastError(error);
    return 0;
}

void free_device_enumeration(device_enumeration *record) {
    if (!record) return;
    for (unsigned i = 0; i < record->capacity; ++i) {
        free(record->entries[i].detail);
        record->entries[i].detail = 0;
        record->entries[i].device.cbSize = 0;
    }
    free(record->entries);
    if (record->info_set != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(record->info_set);
    record->info_set = INVALID_HANDLE_VALUE;
    free(record);
}
