#include "removal/set_aside.h"

#include <string.h>

#include "base/mbtext.h"
#include "base/run_record.h"
#include "base/set_aside_name.h"
#include "platform/win32.h"

namespace {

// Enough for the files a run hands to the restart, with room for earlier runs' leftovers.
const int aside_tries = 100;

const char *name_of(const char *path) {
    const char *slash = mb_find_last_char(path, '\\');
    return slash ? slash + 1 : path;
}

int listed_name(text_list list, const char *name) {
    for (int i = 0; list && list[i] && list[i][0]; ++i)
        if (mb_equal_nocase(name_of(list[i]), name)) return 1;
    return 0;
}

// A name the driver set installs would again be taken by a reinstall before the restart.
int is_driver_set_name(const product_profile *profile, const char *name) {
    return listed_name(profile->driver_files, name) ||
           listed_name(profile->more_driver_files, name) || listed_name(profile->fixed_files, name);
}

// Only "not there" makes a name free: one that cannot be read may be another's file.
int name_is_free(const char *path) {
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES &&
           GetLastError() == ERROR_FILE_NOT_FOUND;
}

}  // namespace

int set_file_aside(const product_profile *profile, const char *path, char *aside, size_t size) {
    const char *name = name_of(path);
    size_t folder = (size_t)(name - path);
    // A file an earlier run set aside keeps its name.
    if (folder == 0 || is_set_aside_name(profile->short_name, name)) return 0;
    for (int n = 0; n < aside_tries; ++n) {
        char aside_name[PATH_SIZE];
        // A name that would not fit is refused, never cut into another.
        if (!set_aside_name(profile->short_name, n, aside_name, sizeof aside_name) ||
            folder + strlen(aside_name) + 1 > size)
            break;
        memcpy(aside, path, folder);
        memcpy(aside + folder, aside_name, strlen(aside_name) + 1);
        if (is_driver_set_name(profile, aside_name) || !name_is_free(aside)) continue;
        if (MoveFileExA(path, aside, 0)) return 1;
        // Taken meanwhile: the next number. Anything else will not change with the name.
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    aside[0] = '\0';
    return 0;
}
