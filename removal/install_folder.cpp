#include "removal/install_folder.h"

#include <string.h>

#include "base/mbtext.h"
#include "base/path_text.h"
#include "base/run_record.h"
#include "base/text_buffer.h"

namespace {

// The folder without trailing backslashes; 0 when it does not fit.
int without_trailing_backslash(const char *path, char *buffer, size_t size) {
    if (!text_copy(buffer, size, path)) return 0;
    size_t length = strlen(buffer);
    while (length > 0) {
        const char *last = mb_find_last_char(buffer, '\\');
        if (!last || last != buffer + length - 1) break;
        buffer[--length] = '\0';
    }
    return 1;
}

// "X:\name..." or "\\server\share\name...": something below a root.
int below_a_root(const char *folder) {
    if (starts_at_a_drive_root(folder)) return folder[3] != '\0' && folder[3] != '\\';
    if (folder[0] != '\\' || folder[1] != '\\') return 0;
    int parts = 0;
    for (const char *p = folder + 2; p && *p; ++parts) {
        const char *next = mb_find_char(p, '\\');
        if (next == p) return 0;  // an empty part
        p = next ? next + 1 : 0;
    }
    return parts >= 3;
}

}  // namespace

int sweepable_install_folder(const char *install_dir, const char *windows_dir, char *folder) {
    char system[PATH_SIZE];
    if (!without_trailing_backslash(install_dir, folder, PATH_SIZE)) return 0;
    if (!below_a_root(folder) || !reads_as_written(folder)) return 0;
    if (!windows_dir[0]) return 1;
    if (!without_trailing_backslash(windows_dir, system, sizeof system)) return 0;
    size_t length = strlen(system);
    if (mb_equal_nocase(folder, system)) return 0;
    return !(strlen(folder) > length && folder[length] == '\\' &&
             mb_prefix_equal_nocase(folder, system, length));
}

int install_folder_is_sweepable(const char *install_dir, const char *windows_dir) {
    char folder[PATH_SIZE];
    return sweepable_install_folder(install_dir, windows_dir, folder);
}
