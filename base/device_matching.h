// The rules that recognise the product's devices by their hardware ids and device key names.
#ifndef K440_BASE_DEVICE_MATCHING_H
#define K440_BASE_DEVICE_MATCHING_H

#include <stddef.h>

#include "base/string_list.h"

// How a device id "VVVV/PPPP" is read into its lower-case search text "vid_vvvv&pid_pppp".
enum search_text_form {
    // Vendor up to the first "/", product from the sixth character to the end; an id without
    // "/" gives "vid_" + id alone ("0000" -> "vid_0000"). Used on hardware ids.
    SEARCH_TEXT_BY_SLASH,
    // Characters 0 to 3 and 5 to 8 as they stand, "&pid_" always ("0000" -> "vid_0000&pid_").
    // Used on the matching device ids of installed driver entries.
    SEARCH_TEXT_BY_COLUMNS
};

// Writes the search text of a device id in the given form. 0 when it does not fit.
int device_id_search_text(const char *device_id, int form, char *buffer, size_t size);

// 1 when the hardware id text contains "vid_VVVV&pid_PPPP" (or "vid_VVVV") of a device id, or
// one of the device names, without regard to case. Either list may be empty or absent.
int hardware_id_matches(const char *text, const string_list_entry *device_ids,
                        const string_list_entry *device_names);

// 1 when a Windows 98/ME device key name ("VID_FFFF&PID_0001...") carries the vendor id (and
// product id, where the entry has one) of a device id, compared as numbers. The name is
// upper-cased in place.
int device_key_matches_ids(char *key_name, const string_list_entry *device_ids);

#endif
