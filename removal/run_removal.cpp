#include "removal/run_removal.h"

#include "base/folder_listing.h"
#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/result_codes.h"
#include "base/run_log.h"
#include "base/text_buffer.h"
#include "platform/win32.h"
#include "removal/device_removal.h"
#include "removal/driver_packages.h"
#include "removal/fixed_files.h"
#include "removal/filter_references.h"
#include "removal/install_folder.h"
#include "removal/kept_plan_writer.h"
#include "removal/listed_deletion.h"
#include "removal/records_last.h"
#include "removal/registry_deletion.h"
#include "removal/removal_check.h"
#include "removal/restart_deletion.h"
#include "removal/run_programs.h"
#include "removal/service_deletion.h"

namespace {

// Returns how many of the product's devices and UsbFlags values stayed.
int remove_nt_devices(run_record *record, const removal_executor *ex) {
    if (!ex->disable_attached_devices || ex->disable_attached_devices(record)) {
        ex->remove_devices(record);
        record->restart_needed = 1;
    } else {
        log_line("%sremove devices: skipped, an attached handset could not be disabled",
                 ex->note_prefix);
    }
    if (ex->clear_usb_flags(record->device_ids)) record->restart_needed = 1;
    return ex->devices_left ? ex->devices_left(record) : 0;
}

// Windows 98/ME rebuilds its driver index files from the INF directory at the next start.
int remove_legacy_driver_index(run_record *record, const removal_executor *ex,
                               string_list_entry **restart_list) {
    int left = 0;
    for (int i = 0; legacy_driver_index_files[i] && record->windows_dir[0]; ++i) {
        char path[PATH_SIZE];
        if (text_join(path, sizeof path, record->windows_dir, "\\", legacy_driver_index_files[i]))
            left += ex->delete_file(path, restart_list);
    }
    record->restart_needed = 1;
    return left;
}

// The lists the sequence carries to the restart.
struct removal_state {
    run_record *record;
    const removal_executor *ex;
    const char *folder;                // the install folder while it is swept
    string_list_entry *restart_list;   // files in use, leftovers of the install folder
    string_list_entry *programs;       // the program files of the run
    int swept_left;                    // install-folder entries neither deleted nor handed over
    string_list_entry *still_named;    // services a filter list still names
    SC_HANDLE service_manager;         // made at the first service, ended after the last
};

// A program file of the run is kept for the last hand-off (removal/run_programs.h); 1 when
// the path is one.
int keep_program_for_last(removal_state *state, const char *path) {
    const char *which = program_of_the_run(state->record, path);
    if (!which) return 0;
    if (!string_list_holds(state->programs, path) && push_string(&state->programs, path) &&
        state->ex->keep_program)
        state->ex->keep_program(path, which);
    return 1;
}

// Services and co-installers are the NT family's; there the service manager and the device
// installer hold them by name.
int delete_listed_key_of(removal_state *state, const char *key_path) {
    const char *service = service_name_of(key_path);
    if (state->record->os_class < OS_FIRST_NT || !service) return state->ex->delete_key(key_path);
    if (!string_list_holds(state->still_named, service))
        return state->ex->delete_service(state->record, key_path, &state->service_manager);
    log_line("%sdelete key %s: kept, %s is still named as a filter, left in place",
             state->ex->note_prefix, key_path, service);
    return 1;
}

int delete_listed_file_of(removal_state *state, const char *path) {
    if (state->record->os_class >= OS_FIRST_NT && co_installer_name_of(state->record, path))
        return state->ex->delete_co_installer(path, &state->restart_list);
    return state->ex->delete_file(path, &state->restart_list);
}

// The two records are left to the end (removal/records_last.h).
int delete_listed_keys_and_files(removal_state *state) {
    run_record *record = state->record;
    const removal_executor *ex = state->ex;
    int left = 0;
    if (record->os_class >= OS_FIRST_NT)
        state->still_named = ex->take_services_out_of_filters(record);
    for (string_list_entry *key = record->keys_to_delete; key; key = key->next)
        if (!is_record_key(record, key->text)) left += delete_listed_key_of(state, key->text);
    close_service_manager(&state->service_manager);
    state->still_named = free_string_list(state->still_named);
    for (value_pair_entry *value = record->values_to_delete; value; value = value->next)
        left += ex->delete_value(value->key_path, value->value_name);
    for (string_list_entry *file = record->files_to_delete; file; file = file->next)
        if (!is_driver_package_file(record, file->text) &&
            !keep_program_for_last(state, file->text))
            left += delete_listed_file_of(state, file->text);
    // The fixed list names the product's files on every kind of system; a path that is not
    // there on this one is no finding and no failure.
    text_list fixed = record->profile->fixed_files;
    string_list_entry *present = present_fixed_files(fixed);
    for (int i = 0; present && fixed[i] && fixed[i][0]; ++i)
        if (string_list_holds(present, fixed[i]) && !keep_program_for_last(state, fixed[i]))
            left += delete_listed_file_of(state, fixed[i]);
    free_string_list(present);
    return left;
}

// The listing hands out plain names only: never "." or ".." (the install folder itself and
// the folder above it, whose attributes, such as a desktop.ini customisation, must stay) and
// never a name that Windows would read as another entry's. The run's own log stays: it is
// the reader's file.
void sweep_listed_entry(const char *name, DWORD attributes, int is_short_name, void *context) {
    (void)attributes;
    (void)is_short_name;
    removal_state *state = (removal_state *)context;
    char full_path[PATH_SIZE];
    // An entry whose full path does not fit is left alone, never cut into another name.
    if (!text_join(full_path, sizeof full_path, state->folder, "\\", name) ||
        keep_program_for_last(state, full_path))
        return;
    if (run_log_is_open() && mb_equal_nocase(full_path, run_log_path()))
        log_line("%sdelete file %s: kept, the run log", state->ex->note_prefix, full_path);
    else
        state->swept_left += state->ex->sweep_file(full_path, &state->restart_list);
}

void clean_install_folder(removal_state *state) {
    const run_record *record = state->record;
    const char *note = state->ex->note_prefix;
    if (record->leave_source || !record->install_dir[0]) return;
    char folder[PATH_SIZE];
    if (!sweepable_install_folder(record->install_dir, record->windows_dir, folder)) {
        log_line("%sclean folder %s: refused, not a folder the product may own", note,
                 record->install_dir);
        return;
    }
    char pattern[PATH_SIZE];
    if (record->prefix_only) {
        if (!text_join(pattern, sizeof pattern, record->profile->short_name, "", "*.*")) return;
    } else {
        text_copy(pattern, sizeof pattern, "*.*");
    }
    state->folder = folder;
    if (!list_folder(folder, pattern, sweep_listed_entry, state))
        log_line("%sclean folder %s: nothing listed", note, folder);
    state->folder = 0;
}

// Returns how many of the paths that still exist were not handed over.
int hand_to_restart(removal_state *state, string_list_entry **list) {
    if (!*list) return 0;
    int left = state->ex->hand_to_restart(*list, state->record);
    state->record->restart_needed = 1;
    *list = free_string_list(*list);
    return left;
}

// The change executor's actions that are not one call of their own.
int device_steps_left(const run_record *record) {
    return devices_left(record) + usb_serial_flags_left(record->device_ids);
}

void log_program_kept(const char *path, const char *which) {
    log_line("delete file %s: %s, handed to the restart", path, which);
}

const removal_executor change_executor = {
    "", write_kept_plan, disable_interface_devices, remove_matching_devices,
    clear_usb_serial_flags, device_steps_left, uninstall_driver_packages, delete_listed_key,
    delete_listed_value, delete_listed_file, delete_swept_entry, log_program_kept,
    schedule_restart_deletion, take_filters_of_listed_services, delete_listed_service,
    delete_listed_co_installer};

}  // namespace

// The plan is kept before the first change, so that a run cut off anywhere can be finished
// by running the program again from the list of installed programs. The program itself goes
// to the restart after the records, as the run's last change: a restart that comes first
// (a power cut, a forced logoff) must not take the program that the records still start.
int run_removal_sequence(run_record *record, const removal_executor *executor) {
    if (executor->keep_plan) executor->keep_plan(record);
    removal_state state = {record, executor, 0, 0, 0, 0, 0, 0};
    int left;
    if (record->os_class >= OS_FIRST_NT) {
        left = remove_nt_devices(record, executor);
        left += executor->uninstall_driver_packages(record, &state.restart_list);
    } else {
        left = remove_legacy_driver_index(record, executor, &state.restart_list);
    }
    left += delete_listed_keys_and_files(&state);
    clean_install_folder(&state);
    left += state.swept_left;
    left += hand_to_restart(&state, &state.restart_list);
    left += delete_records(record, executor->delete_key);
    left += hand_to_restart(&state, &state.programs);
    return left;
}

int run_removal(run_record *record) {
    int left = run_removal_sequence(record, &change_executor);
    if (left) {
        log_line("removal: %d item(s) left in place", left);
        return RESULT_PARTIAL_REMOVAL;
    }
    log_line("removal: complete");
    return RESULT_SUCCESS;
}
