// String values as the registry holds them: a string may be stored without its terminator,
// and on the NT family the registry keeps it in Unicode, of which RegQueryValueExA hands
// back the best-fit ANSI form (under code page 932 "halvenor¥K440dT", one folder name, reads
// as "halvenor\K440dT", two). A text is used whole and as stored, or not at all.
#ifndef K440_BASE_REG_TEXT_H
#define K440_BASE_REG_TEXT_H

#include "platform/win32.h"

// Terminates the `read` bytes of string data in `buffer` (of `size` bytes) after its first
// string: data stored without a terminator is taken whole, which needs one byte more than it
// holds. 0 when there is no room for that byte, or when the text ends in the lead byte of a
// double-byte character without its trail byte (joined to a "\" it would swallow it).
int terminate_whole_text(char *buffer, DWORD read, DWORD size);

// 1 when `text`, read from the value through RegQueryValueExA, is the stored text: where the
// platform keeps texts in Unicode (RegQueryValueExW works), its ANSI form must read back as
// exactly the stored text up to its terminator. Windows 98/ME stores ANSI text.
int text_reads_as_stored(HKEY key, const char *value_name, const char *text, DWORD size);

#endif
