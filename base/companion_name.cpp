#include "base/companion_name.h"

#include <string.h>

#include "base/mbtext.h"
#include "base/run_record.h"
#include "base/text_buffer.h"

#define COMPANION_SUFFIX "64"

namespace {

// Where the extension of the file name at the end of `path` begins (its terminator when the
// name has none).
char *extension_of(char *path) {
    char *name = mb_find_last_char(path, '\\');
    name = name ? name + 1 : path;
    char *dot = mb_find_last_char(name, '.');
    return dot ? dot : name + strlen(name);
}

}  // namespace

int companion_path_of(const char *program_path, char *buffer, size_t size) {
    char extension[PATH_SIZE];
    if (!text_copy(buffer, size, program_path)) return 0;
    char *at = extension_of(buffer);
    if (!text_copy(extension, sizeof extension, at)) return 0;
    *at = '\0';
    if (!text_append(buffer, size, COMPANION_SUFFIX) || !text_append(buffer, size, extension)) {
        buffer[0] = '\0';
        return 0;
    }
    return 1;
}

int program_path_of(const char *companion_path, char *buffer, size_t size) {
    if (!text_copy(buffer, size, companion_path)) return 0;
    char *at = extension_of(buffer);
    char *name = mb_find_last_char(buffer, '\\');
    name = name ? name + 1 : buffer;
    size_t suffix = strlen(COMPANION_SUFFIX);
    if ((size_t)(at - name) <= suffix || strncmp(at - suffix, COMPANION_SUFFIX, suffix) != 0) {
        buffer[0] = '\0';
        return 0;
    }
    memmove(at - suffix, at, strlen(at) + 1);
    return 1;
}

