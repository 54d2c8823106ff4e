#include "base/guid_text.h"

#include <string.h>

namespace {

// Reads `digits` hexadecimal digits at `text` into *value; 0 at the first invalid digit.
int read_hex(const char *text, int digits, unsigned long *value) {
    *value = 0;
    for (int i = 0; i < digits; ++i) {
        int digit = hex_digit_value(text[i]);
        if (digit > 15) return 0;
        *value = *value * 16 + (unsigned long)digit;
    }
    return 1;
}

}  // namespace

int hex_digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 16;
}

int guid_text_well_formed(const char *text) {
    if (!text) return 0;
    if (strlen(text) != GUID_TEXT_LENGTH) return 0;
    return text[0] == '{' && text[37] == '}' && text[9] == '-' && text[14] == '-' &&
           text[19] == '-' && text[24] == '-';
}

int parse_guid_text(const char *text, GUID *guid) {
    if (!guid || !guid_text_well_formed(text)) return 0;
    unsigned long value;
    if (!read_hex(text + 1, 8, &value)) return 0;
    guid->Data1 = (DWORD)value;
    if (!read_hex(text + 10, 4, &value)) return 0;
    guid->Data2 = (WORD)value;
    if (!read_hex(text + 15, 4, &value)) return 0;
    guid->Data3 = (WORD)value;
    // The fourth field: two bytes, the dash at 24, six bytes.
    static const int byte_at[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!read_hex(text + byte_at[i], 2, &value)) return 0;
        guid->Data4[i] = (BYTE)value;
    }
    return 1;
}
