#include "removal/run_programs.h"

#include <string.h>

#include "base/mbtext.h"
#include "removal/install_folder.h"

const char *program_of_the_run(const run_record *record, const char *path) {
    if (record->partner_path[0] && mb_equal_nocase(path, record->partner_path))
        return "the program waiting for this one";
    if (record->own_path[0] && mb_equal_nocase(path, record->own_path)) return "the running program";
    return 0;
}

int sweep_reaches(const run_record *record, const char *path) {
    char folder[PATH_SIZE];
    if (record->leave_source || !record->install_dir[0] ||
        !sweepable_install_folder(record->install_dir, record->windows_dir, folder))
        return 0;
    size_t length = strlen(folder);
    if (strlen(path) <= length + 1 || path[length] != '\\' ||
        !mb_prefix_equal_nocase(path, folder, length))
        return 0;
    const char *name = path + length + 1;
    if (mb_find_char(name, '\\')) return 0;
    const char *prefix = record->profile->short_name;
    return !record->prefix_only || mb_prefix_equal_nocase(name, prefix, strlen(prefix));
}
