#include "base/reg_text.h"

#include <string.h>

#include "base/unicode_text.h"
#include "base/reg_helpers.h"

namespace {

typedef LONG(WINAPI *query_value_wide)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);

// No code page has a lead byte below 0x80: plain ASCII text, the common case of the thousands
// of values a run reads, asks the platform nothing.
int ends_in_whole_character(const char *text) {
    for (const char *c = text; *c; ++c)
        if ((BYTE)*c >= 0x80 && IsDBCSLeadByte((BYTE)*c) && !*++c) return 0;
    return 1;
}

}  // namespace

int terminate_whole_text(char *buffer, DWORD read, DWORD size) {
    if (!memchr(buffer, 0, read)) {
        if (read >= size) return 0;
        buffer[read] = '\0';
    }
    return ends_in_whole_character(buffer);
}

int text_reads_as_stored(HKEY key, const char *value_name, const char *text, DWORD size) {
    query_value_wide query =
        reinterpret_cast<query_value_wide>(system_function("advapi32.dll", "RegQueryValueExW"));
    if (!query) return 1;
    WCHAR wide_name[REG_NAME_SIZE];
    if (value_name &&
        !MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, value_name, -1, wide_name, REG_NAME_SIZE))
        return 0;
    // A text whose ANSI form fits `size` bytes has at most `size` Unicode units.
    DWORD capacity = 2 * size + 2;
    BYTE *stored = (BYTE *)LocalAlloc(LMEM_FIXED, capacity);
    if (!stored) return 0;
    DWORD type = 0;
    DWORD bytes = capacity;
    LONG rc = query(key, value_name ? wide_name : 0, 0, &type, stored, &bytes);
    int same = rc == ERROR_CALL_NOT_IMPLEMENTED;  // Windows 98/ME: the ANSI text is stored
    if (rc == ERROR_SUCCESS && bytes <= capacity) {
        const WCHAR *wide = (const WCHAR *)stored;
        size_t units = bytes / sizeof(WCHAR);
        size_t length = 0;
        while (length < units && wide[length]) ++length;
        same = ansi_reads_as(text, wide, length);
    }
    LocalFree(stored);
    return same;
}
