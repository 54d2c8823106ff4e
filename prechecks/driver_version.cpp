#include "prechecks/driver_version.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "base/device_matching.h"
#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/reg_helpers.h"
#include "base/run_record.h"
#include "base/text_buffer.h"

#define VALUE_TEXT_SIZE 260
#define SEARCH_TEXT_SIZE 32

namespace {

const char *usb_class_key_for(int os_class) {
    if (os_class == OS_WIN98 || os_class == OS_WIN98_SE || os_class == OS_WINME)
        return "SYSTEM\\CurrentControlSet\\Services\\Class\\USB";
    if (os_class == OS_WIN2000 || os_class == OS_WINXP)
        return "SYSTEM\\CurrentControlSet\\Control\\Class\\{36FC9E60-C465-11CF-8056-444553540000}";
    return 0;
}

// Up to four decimal numbers separated by "."; those that cannot be read stay 0. A number
// beyond the range of int reads as the nearest limit.
void read_version(const char *text, int version[4]) {
    version[0] = version[1] = version[2] = version[3] = 0;
    const char *p = text;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (*p != '.') return;
            ++p;
        }
        char *end = 0;
        long value = strtol(p, &end, 10);
        if (end == p) return;
        if (value > INT_MAX) value = INT_MAX;
        if (value < INT_MIN) value = INT_MIN;
        version[i] = (int)value;
        p = end;
    }
}

// 1, 2 or 3 as the installed version is lower than, equal to or higher than the reference.
int compare_versions(const int installed[4], const int *reference) {
    if (!reference) return 2;  // no reference: a driver was found, nothing to compare with
    for (int i = 0; i < 4; ++i) {
        if (reference[i] > installed[i]) return 1;
        if (reference[i] < installed[i]) return 3;
    }
    return 2;
}

// The first driver entry of the class key whose matching device id holds the search text;
// 0 when there is none, otherwise the comparison result.
int check_class_key(const char *class_key, const char *search_text, const int *reference) {
    string_list_entry *subkeys = 0;
    if (!reg_list_subkeys(class_key, &subkeys)) return 0;
    int result = 0;
    for (const string_list_entry *e = subkeys; e && !result; e = e->next) {
        char entry_key[PATH_SIZE];
        if (!text_join(entry_key, sizeof entry_key, class_key, "\\", e->text)) continue;
        char matching[VALUE_TEXT_SIZE];
        if (!reg_read_string(entry_key, "MatchingDeviceId", matching, sizeof matching))
            continue;
        mb_lower(matching);
        if (!mb_find_text(matching, search_text)) continue;
        char version_text[VALUE_TEXT_SIZE] = "";
        if (!reg_read_string(entry_key, "DriverVersion", version_text, sizeof version_text))
            version_text[0] = '\0';
        int installed[4];
        read_version(version_text, installed);
        result = compare_versions(installed, reference);
    }
    free_string_list(subkeys);
    return result;
}

}  // namespace

int compare_installed_driver_version(const string_list_entry *device_ids, const int *reference,
                                     int os_class) {
    const char *class_key = usb_class_key_for(os_class);
    for (const string_list_entry *id = device_ids; id; id = id->next) {
        if (!class_key) continue;
        char search_text[SEARCH_TEXT_SIZE];
        if (!device_id_search_text(id->text, SEARCH_TEXT_BY_COLUMNS, search_text,
                                   sizeof search_text))
            continue;
        int result = check_class_key(class_key, search_text, reference);
        if (result) return result;
    }
    return 0;
}
