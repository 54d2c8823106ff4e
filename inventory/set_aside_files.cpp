#include "inventory/set_aside_files.h"

#include <string.h>

#include "base/folder_listing.h"
#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/run_log.h"
#include "base/set_aside_name.h"
#include "base/text_buffer.h"

namespace {

struct folder_search {
    run_record *record;
    const char *folder;
};

void take_set_aside(const char *name, DWORD attributes, int is_short_name, void *context) {
    (void)is_short_name;
    folder_search *search = (folder_search *)context;
    char path[PATH_SIZE];
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !is_set_aside_name(search->record->profile->short_name, name) ||
        !text_join(path, sizeof path, search->folder, "\\", name) ||
        string_list_holds(search->record->files_to_delete, path))
        return;
    if (push_string(&search->record->files_to_delete, path))
        log_line("found file %s (set aside for the restart by an earlier run)", path);
}

}  // namespace

void add_set_aside_files(run_record *record) {
    if (record->os_class < OS_FIRST_NT) return;
    char pattern[PATH_SIZE];
    const char *short_name = record->profile->short_name ? record->profile->short_name : "";
    if (!text_join(pattern, sizeof pattern, short_name, "", SET_ASIDE_PATTERN_TAIL)) return;
    // What is found is pushed at the head: the walk goes on over the files there before.
    // Each folder is listed once: under Wine a listing reads the whole folder.
    string_list_entry *searched = 0;
    for (const string_list_entry *file = record->files_to_delete; file; file = file->next) {
        const char *slash = mb_find_last_char(file->text, '\\');
        size_t length = slash ? (size_t)(slash - file->text) : 0;
        char folder[PATH_SIZE];
        if (!length || length >= sizeof folder) continue;
        memcpy(folder, file->text, length);
        folder[length] = '\0';
        if (string_list_holds(searched, folder) || !push_string(&searched, folder)) continue;
        folder_search search = {record, folder};
        list_folder(folder, pattern, take_set_aside, &search);
    }
    free_string_list(searched);
}
