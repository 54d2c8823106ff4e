// GUID texts of the form "{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}" (38 characters, digits in
// either case) turned into GUIDs.
#ifndef K440_BASE_GUID_TEXT_H
#define K440_BASE_GUID_TEXT_H

#include "platform/win32.h"

#define GUID_TEXT_LENGTH 38

// 0 to 15 for a hexadecimal digit, 16 for any other character.
int hex_digit_value(char c);
// 1 when the text has the shape of a GUID text: 38 characters, braces, dashes at 9, 14, 19, 24.
int guid_text_well_formed(const char *text);
// 1 when the text was well formed and every digit valid. On 0 the GUID may hold a part of
// the fields; use it only after 1.
int parse_guid_text(const char *text, GUID *guid);

#endif
