#include "removal/fixed_files.h"

#include "base/folder_listing.h"
#include "base/mbtext.h"
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

struct folder_lookup {
    text_list fixed;
    const char *folder;
    string_list_entry **names;  // the names of the fixed list that the folder holds
};

void note_fixed_name(const char *name, DWORD, int, void *context) {
    folder_lookup *lookup = (folder_lookup *)context;
    for (int i = 0; lookup->fixed[i] && lookup->fixed[i][0]; ++i) {
        const char *slash = mb_find_last_char(lookup->fixed[i], '\\');
        if (slash && mb_equal_nocase(slash + 1, name) && in_folder(lookup->fixed[i], lookup->folder))
            push_string(lookup->names, lookup->fixed[i]);
    }
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
        folder_lookup lookup = {fixed, folder, &present};
        list_folder(folder, "*", note_fixed_name, &lookup);
    }
    return present;
}
