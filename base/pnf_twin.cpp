#include "base/pnf_twin.h"

#include <string.h>

#include "base/mbtext.h"
#include "base/text_buffer.h"

int pnf_twin_of(const char *path, char *buffer, size_t size) {
    if (size) buffer[0] = '\0';
    const char *dot = mb_find_last_char(path, '.');
    const char *slash = mb_find_last_char(path, '\\');
    // A "." in a folder name is no extension of the file.
    if (!dot || (slash && dot < slash)) return 0;
    size_t stem = (size_t)(dot - path);
    if (stem + sizeof ".pnf" > size) return 0;
    memcpy(buffer, path, stem);
    buffer[stem] = '\0';
    return text_append(buffer, size, ".pnf");
}
