#include "removal/fixed_files.h"

#include "base/mbtext.h"
#include "base/present_names.h"
#include "base/run_record.h"
#include "base/text_buffer.h"

namespace {

// The folder part of `path` into `folder`; 0 for a path without one or one that does not fit.
int folder_of(const char *path, char *folder) {
    const char *slash = mb_find_last_char(path, '\\');
    if (!slash || !text_copy(folder, PATH_SIZE, path)) return 0;
    folder[slash - path] = '\0';
    return 1;
}

int in_folder(const char *path, const char *folder) {
    char own[PATH_SIZE];
    return folder_of(path, own) && mb_equal_nocase(own, folder);
}

int listed_earlier(text_list fixed, int index, const char *folder) {
    for (int i = 0; i < index; ++i)
        if (in_folder(fixed[i], folder)) return 1;
    return 0;
}

}  // namespace

string_list_entry *present_fixed_files(text_list fixed) {
    string_list_entry *present = 0;
    for (int i = 0; fixed && fixed[i] && fixed[i][0]; ++i) {
        char folder[PATH_SIZE];
        if (!folder_of(fixed[i], folder) || listed_earlier(fixed, i, folder)) continue;
        string_list_entry *names = 0;
        for (int j = i; fixed[j] && fixed[j][0]; ++j)
            if (in_folder(fixed[j], folder)) push_string(&names, mb_find_last_char(fixed[j], '\\') + 1);
        string_list_entry *found = present_names(folder, names);
        for (int j = i; fixed[j] && fixed[j][0]; ++j)
            if (in_folder(fixed[j], folder) &&
                string_list_holds(found, mb_find_last_char(fixed[j], '\\') + 1))
                push_string(&present, fixed[j]);
        free_string_list(found);
        free_string_list(names);
    }
    return present;
}
