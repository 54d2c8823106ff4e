#include "base/device_matching.h"

#include <stdio.h>
#include <string.h>

#include "base/mbtext.h"
#include "base/text_buffer.h"

namespace {

// "FFFF/0001" -> "vid_FFFF&pid_0001"; "0000" -> "vid_0000".
int search_text_by_slash(const char *entry, char *pattern, size_t size) {
    if (!text_join(pattern, size, "vid_", "", entry)) return 0;
    char *slash = mb_find_char(pattern, '/');
    if (slash) {
        *slash = '\0';
        const char *product = strlen(entry) >= 5 ? entry + 5 : "";
        if (!text_append(pattern, size, "&pid_") || !text_append(pattern, size, product))
            return 0;
    }
    return 1;
}

// Appends up to `count` characters of `text` starting at `from`, stopping at its end.
int append_columns(char *buffer, size_t size, const char *text, size_t from, size_t count) {
    size_t length = strlen(text);
    size_t end = strlen(buffer);
    for (size_t i = from; i < from + count && i < length; ++i) {
        if (end + 1 >= size) return 0;
        buffer[end++] = text[i];
    }
    buffer[end] = '\0';
    return 1;
}

// "FFFF/0001" -> "vid_FFFF&pid_0001": characters 0 to 3 and 5 to 8.
int search_text_by_columns(const char *device_id, char *buffer, size_t size) {
    return text_copy(buffer, size, "vid_") && append_columns(buffer, size, device_id, 0, 4) &&
           text_append(buffer, size, "&pid_") && append_columns(buffer, size, device_id, 5, 4);
}

}  // namespace

int device_id_search_text(const char *device_id, int form, char *buffer, size_t size) {
    int built = form == SEARCH_TEXT_BY_COLUMNS ? search_text_by_columns(device_id, buffer, size)
                                               : search_text_by_slash(device_id, buffer, size);
    if (!built) return 0;
    mb_lower(buffer);
    return 1;
}

int hardware_id_matches(const char *text, const string_list_entry *device_ids,
                        const string_list_entry *device_names) {
    char lowered[LIST_TEXT_SIZE];
    // A hardware id longer than an entry is tested on its first 1023 bytes.
    strncpy(lowered, text, sizeof lowered - 1);
    lowered[sizeof lowered - 1] = '\0';
    mb_lower(lowered);
    char pattern[LIST_TEXT_SIZE + 16];
    for (const string_list_entry *id = device_ids; id; id = id->next) {
        if (device_id_search_text(id->text, SEARCH_TEXT_BY_SLASH, pattern, sizeof pattern) &&
            mb_find_text(lowered, pattern))
            return 1;
    }
    for (const string_list_entry *name = device_names; name; name = name->next) {
        char needle[LIST_TEXT_SIZE];
        text_copy(needle, sizeof needle, name->text);
        mb_lower(needle);
        if (mb_find_text(lowered, needle)) return 1;
    }
    return 0;
}

int device_key_matches_ids(char *key_name, const string_list_entry *device_ids) {
    mb_upper(key_name);
    unsigned int key_vendor = 0, key_product = 0;
    int n = sscanf(key_name, "VID_%x&PID_%x", &key_vendor, &key_product);
    if (n <= 0) return 0;
    for (const string_list_entry *id = device_ids; id; id = id->next) {
        unsigned int vendor = 0, product = 0;
        int c = sscanf(id->text, "%x/%x", &vendor, &product);
        if (c == 1 && vendor == key_vendor) return 1;
        if (c == 2 && n == 2 && vendor == key_vendor && product == key_product) return 1;
    }
    return 0;
}
