#include "base/unicode_text.h"

int ansi_reads_as(const char *text, const WCHAR *wide, size_t length) {
    // Every character of an ANSI text is at least one byte and at most two Unicode units.
    size_t capacity = 2 * (size_t)lstrlenA(text) + 1;
    if (length + 1 > capacity) return 0;
    WCHAR *read = (WCHAR *)LocalAlloc(LMEM_FIXED, capacity * sizeof(WCHAR));
    if (!read) return 0;
    int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, read, (int)capacity);
    int same = units == (int)length + 1;
    for (size_t i = 0; same && i < length; ++i) same = read[i] == wide[i];
    LocalFree(read);
    return same;
}

int exact_ansi_form(const WCHAR *wide, char *buffer, size_t size) {
    if (size == 0) return 0;
    size_t length = 0;
    int ascii = 1;
    for (; wide[length]; ++length) ascii &= wide[length] < 0x80;
    // Every code page keeps ASCII as it is: the thousands of plain names a run lists ask the
    // platform nothing.
    if (ascii && length < size) {
        for (size_t i = 0; i <= length; ++i) buffer[i] = (char)wide[i];
        return 1;
    }
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, (int)size, 0, 0);
    if (bytes <= 0 || !ansi_reads_as(buffer, wide, length)) {
        buffer[0] = '\0';
        return 0;
    }
    return 1;
}

any_function system_function(const char *module, const char *name) {
    HMODULE handle = GetModuleHandleA(module);
    if (!handle) return 0;
    return reinterpret_cast<any_function>(GetProcAddress(handle, name));
}
