#include "removal/run_removal.h"

#include <string.h>

#include "base/folder_listing.h"
#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/text_buffer.h"
#include "platform/win32.h"
#include "removal/device_removal.h"
#include "removal/driver_packages.h"
#include "removal/file_deletion.h"
#include "removal/install_folder.h"
#include "removal/registry_deletion.h"
#include "removal/restart_deletion.h"

namespace {

void remove_nt_devices(run_record *record) {
    if (disable_interface_devices(record)) {
        remove_matching_devices(record);
        record->restart_needed = 1;
    }
    if (clear_usb_serial_flags(record->device_ids)) record->restart_needed = 1;
}

// Windows 98/ME rebuilds its driver index files from the INF directory at the next start.
void remove_legacy_driver_index(run_record *record) {
    static const char *const index_files[] = {"inf\\drvidx.bin", "inf\\drvdata.bin", 0};
    for (int i = 0; index_files[i] && record->windows_dir[0]; ++i) {
        char path[PATH_SIZE];
        if (text_join(path, sizeof path, record->windows_dir, "\\", index_files[i]))
            delete_file_now(path);
    }
    record->restart_needed = 1;
}

void delete_listed_keys_and_files(run_record *record) {
    for (string_list_entry *key = record->keys_to_delete; key; key = key->next)
        delete_key_tree(key->text);
    delete_listed_values(record->values_to_delete);
    for (string_list_entry *file = record->files_to_delete; file; file = file->next)
        delete_file_now(file->text);
    text_list fixed = record->profile->fixed_files;
    for (int i = 0; fixed && fixed[i] && fixed[i][0]; ++i) delete_file_now(fixed[i]);
}

// An entry whose deletion failed goes to the restart list.
void sweep_entry(run_record *record, const char *full_path, string_list_entry **restart_list) {
    // The running program cannot delete itself, nor the 32-bit program that waits for the
    // companion.
    if ((record->own_path[0] && mb_equal_nocase(full_path, record->own_path)) ||
        (record->partner_path[0] && mb_equal_nocase(full_path, record->partner_path))) {
        push_string(restart_list, full_path);
        return;
    }
    if (delete_file_now(full_path)) return;
    push_string(restart_list, full_path);
}

struct sweep {
    run_record *record;
    const char *folder;
    string_list_entry *restart_list;
};

// The listing hands out plain names only: never "." or ".." (the install folder itself and
// the folder above it, whose attributes, such as a desktop.ini customisation, must stay) and
// never a name that Windows would read as another entry's.
void sweep_listed_entry(const char *name, DWORD attributes, int is_short_name, void *context) {
    (void)attributes;
    (void)is_short_name;
    sweep *state = (sweep *)context;
    char full_path[PATH_SIZE];
    // An entry whose full path does not fit is left alone, never cut into another name.
    if (text_join(full_path, sizeof full_path, state->folder, "\\", name))
        sweep_entry(state->record, full_path, &state->restart_list);
}

void sweep_install_folder(run_record *record, const char *folder) {
    char pattern[PATH_SIZE];
    if (record->prefix_only) {
        if (!text_join(pattern, sizeof pattern, record->profile->short_name, "", "*.*")) return;
    } else {
        text_copy(pattern, sizeof pattern, "*.*");
    }
    sweep state = {record, folder, 0};
    if (!list_folder(folder, pattern, sweep_listed_entry, &state)) return;
    schedule_restart_deletion(state.restart_list, record->os_class);
    free_string_list(state.restart_list);
}

}  // namespace

int run_removal(run_record *record) {
    if (record->os_class >= OS_FIRST_NT) {
        remove_nt_devices(record);
        uninstall_driver_packages(record);
    } else {
        remove_legacy_driver_index(record);
    }
    delete_listed_keys_and_files(record);
    if (record->leave_source || !record->install_dir[0]) return 0;
    char folder[PATH_SIZE];
    if (!sweepable_install_folder(record->install_dir, record->windows_dir, folder)) return 0;
    sweep_install_folder(record, folder);
    return 0;
}
