#include "removal/run_removal.h"

#include <string.h>

#include "base/folder_listing.h"
#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/result_codes.h"
#include "base/run_log.h"
#include "base/text_buffer.h"
#include "platform/win32.h"
#include "removal/device_removal.h"
#include "removal/driver_packages.h"
#include "removal/file_deletion.h"
#include "removal/install_folder.h"
#include "removal/kept_plan_writer.h"
#include "removal/listed_deletion.h"
#include "removal/records_last.h"
#include "removal/registry_deletion.h"
#include "removal/removal_check.h"
#include "removal/restart_deletion.h"
#include "removal/run_programs.h"

namespace {

// Returns how many of the product's devices and UsbFlags values stayed.
int remove_nt_devices(run_record *record) {
    if (disable_interface_devices(record)) {
        remove_matching_devices(record);
        record->restart_needed = 1;
    } else {
        log_line("remove devices: skipped, an attached handset could not be disabled");
    }
    if (clear_usb_serial_flags(record->device_ids)) record->restart_needed = 1;
    return devices_left(record) + usb_serial_flags_left(record->device_ids);
}

// Windows 98/ME rebuilds its driver index files from the INF directory at the next start.
int remove_legacy_driver_index(run_record *record, string_list_entry **restart_list) {
    int left = 0;
    for (int i = 0; legacy_driver_index_files[i] && record->windows_dir[0]; ++i) {
        char path[PATH_SIZE];
        if (text_join(path, sizeof path, record->windows_dir, "\\", legacy_driver_index_files[i]))
            left += delete_listed_file(path, restart_list);
    }
    record->restart_needed = 1;
    return left;
}

// A program file of the run is kept for the last hand-off (removal/run_programs.h); 1 when
// the path is one.
int keep_program_for_last(const run_record *record, const char *path, string_list_entry **programs) {
    const char *which = program_of_the_run(record, path);
    if (!which) return 0;
    if (!string_list_holds(*programs, path) && push_string(programs, path))
        log_line("delete file %s: %s, handed to the restart", path, which);
    return 1;
}

// The two records are left to the end (removal/records_last.h).
int delete_listed_keys_and_files(run_record *record, string_list_entry **restart_list,
                                 string_list_entry **programs) {
    int left = 0;
    for (string_list_entry *key = record->keys_to_delete; key; key = key->next)
        if (!is_record_key(record, key->text)) left += delete_listed_key(key->text);
    for (value_pair_entry *value = record->values_to_delete; value; value = value->next)
        left += delete_listed_value(value->key_path, value->value_name);
    for (string_list_entry *file = record->files_to_delete; file; file = file->next)
        if (!keep_program_for_last(record, file->text, programs))
            left += delete_listed_file(file->text, restart_list);
    // The fixed list names the product's files on every kind of system; a path that is not
    // there on this one is no finding and no failure.
    text_list fixed = record->profile->fixed_files;
    for (int i = 0; fixed && fixed[i] && fixed[i][0]; ++i)
        if (GetFileAttributesA(fixed[i]) != INVALID_FILE_ATTRIBUTES &&
            !keep_program_for_last(record, fixed[i], programs))
            left += delete_listed_file(fixed[i], restart_list);
    return left;
}

// An entry whose deletion failed goes to the restart list. The run's own log stays: it is the
// reader's file.
void sweep_entry(run_record *record, const char *full_path, string_list_entry **restart_list,
                 string_list_entry **programs) {
    if (keep_program_for_last(record, full_path, programs)) return;
    if (run_log_is_open() && mb_equal_nocase(full_path, run_log_path())) {
        log_line("delete file %s: kept, the run log", full_path);
        return;
    }
    if (delete_file_now(full_path)) {
        log_line("delete file %s: removed", full_path);
        return;
    }
    char failure[FAILURE_TEXT_SIZE];
    log_line("delete file %s: %s, handed to the restart", full_path,
             failure_text(GetLastError(), failure));
    push_string(restart_list, full_path);
}

struct sweep {
    run_record *record;
    const char *folder;
    string_list_entry *restart_list;
    string_list_entry *programs;
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
        sweep_entry(state->record, full_path, &state->restart_list, &state->programs);
}

void sweep_install_folder(run_record *record, const char *folder,
                          string_list_entry **restart_list, string_list_entry **programs) {
    char pattern[PATH_SIZE];
    if (record->prefix_only) {
        if (!text_join(pattern, sizeof pattern, record->profile->short_name, "", "*.*")) return;
    } else {
        text_copy(pattern, sizeof pattern, "*.*");
    }
    sweep state = {record, folder, *restart_list, *programs};
    if (!list_folder(folder, pattern, sweep_listed_entry, &state))
        log_line("clean folder %s: nothing listed", folder);
    *restart_list = state.restart_list;
    *programs = state.programs;
}

void clean_install_folder(run_record *record, string_list_entry **restart_list,
                          string_list_entry **programs) {
    if (record->leave_source || !record->install_dir[0]) return;
    char folder[PATH_SIZE];
    if (!sweepable_install_folder(record->install_dir, record->windows_dir, folder)) {
        log_line("clean folder %s: refused, not a folder the product may own",
                 record->install_dir);
        return;
    }
    sweep_install_folder(record, folder, restart_list, programs);
}

// Returns how many of the paths that still exist were not handed over.
int hand_to_restart(run_record *record, string_list_entry **list) {
    if (!*list) return 0;
    int left = schedule_restart_deletion(*list, record->os_class);
    record->restart_needed = 1;
    *list = free_string_list(*list);
    return left;
}

}  // namespace

// The plan is kept before the first change, so that a run cut off anywhere can be finished
// by running the program again from the list of installed programs. The program itself goes
// to the restart after the records, as the run's last change: a restart that comes first
// (a power cut, a forced logoff) must not take the program that the records still start.
int run_removal(run_record *record) {
    write_kept_plan(record);
    string_list_entry *restart_list = 0;  // files in use, leftovers of the install folder
    string_list_entry *programs = 0;      // the program files of the run
    int left;
    if (record->os_class >= OS_FIRST_NT) {
        left = remove_nt_devices(record);
        // A copy that stays is still in files_to_delete: its deletion below counts it.
        uninstall_driver_packages(record);
    } else {
        left = remove_legacy_driver_index(record, &restart_list);
    }
    left += delete_listed_keys_and_files(record, &restart_list, &programs);
    clean_install_folder(record, &restart_list, &programs);
    left += hand_to_restart(record, &restart_list);
    left += delete_records(record);
    left += hand_to_restart(record, &programs);
    if (left) {
        log_line("removal: %d item(s) left in place", left);
        return RESULT_PARTIAL_REMOVAL;
    }
    log_line("removal: complete");
    return RESULT_SUCCESS;
}
