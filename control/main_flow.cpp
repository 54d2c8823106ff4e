#include "control/main_flow.h"

#include <string.h>

#include "base/options.h"
#include "base/os_class.h"
#include "base/registry_view.h"
#include "base/result_codes.h"
#include "base/run_record.h"
#include "base/text_buffer.h"
#include "control/admin_check.h"
#include "control/companion.h"
#include "control/confirmation_dialog.h"
#include "control/language_choice.h"
#include "control/message_step.h"
#include "control/process_kind.h"
#include "control/restart.h"
#include "base/run_log.h"
#include "control/run_log_header.h"
#include "control/text_output.h"
#include "inventory/collect_inventory.h"
#include "prechecks/driver_version.h"
#include "prechecks/presence_check.h"
#include "removal/removal_plan.h"
#include "removal/run_removal.h"

namespace {

int os_is_refused(int os_class) {
    return os_class == OS_UNKNOWN || os_class == OS_WIN95 || os_class == OS_WIN95_OSR2 ||
           os_class == OS_NT4;
}

// The pre-checks and the confirmation: 0 lets the removal run.
int run_prechecks(run_record *record) {
    product_profile *profile = record->profile;
    if (!administrator_check(record->os_class)) return RESULT_NOT_ADMINISTRATOR;
    if (profile->device_connected_message.japanese && is_handset_attached(profile->product_guid))
        return RESULT_HANDSET_ATTACHED;
    if (record->ids_from_record || !record->device_ids) return RESULT_SUCCESS;
    if (profile->version_message.japanese) {
        if (compare_installed_driver_version(record->device_ids, 0, record->os_class) == 0)
            return RESULT_NO_INSTALLED_DRIVER;
        return RESULT_SUCCESS;
    }
    // The warning asks whether to go on with the removal, which a dry run does not do.
    if (!record->quiet && !record->dry_run && profile->warning_text.japanese &&
        show_message(record, text_in(profile->warning_text, record->language), 0,
                     text_in(profile->warning_caption, record->language),
                     MB_OKCANCEL | MB_ICONWARNING) == IDCANCEL)
        return RESULT_CANCELLED;
    return RESULT_SUCCESS;
}

void close_mutex(HANDLE *mutex) {
    if (*mutex) CloseHandle(*mutex);
    *mutex = 0;
}

// On 64-bit Windows only the 64-bit companion does the run: the 32-bit program would delete
// what WOW64 shows it (SysWOW64 for System32) and could not remove devices. Returns 0 when
// this program goes on with the run, else the result; *ended is set when the companion ran
// and its exit code is the result, with nothing more to show.
int take_process_kind(run_record *record, const char *command_line, HANDLE *mutex, int *ended) {
    switch (classify_process()) {
        case PROCESS_32BIT_WINDOWS:
            return RESULT_SUCCESS;
        case PROCESS_64BIT_WINDOWS:
            record->companion = 1;
            use_32bit_software_view(1);
            return RESULT_SUCCESS;
        case PROCESS_UNDER_WOW64: {
            DWORD exit_code = 0;
            if (!run_companion(command_line, mutex, &exit_code)) return RESULT_UNSUPPORTED_OS;
            *ended = 1;
            return (int)exit_code;
        }
        default:
            return RESULT_UNSUPPORTED_OS;
    }
}

// The log a run asked for opens as soon as its path is known; a dry run without one writes
// its plan to K440dTUn.log in the folder for temporary files. A log that cannot be opened
// stops nothing.
void open_requested_log(run_record *record, int inventory_done) {
    if (record->log_file[0]) open_run_log(record->log_file);
    if (!inventory_done) return;
    if (!run_log_is_open() && record->dry_run) {
        char temp[PATH_SIZE];
        char path[PATH_SIZE];
        DWORD length = GetTempPathA(sizeof temp, temp);
        if (length > 0 && length < sizeof temp && text_append(temp, sizeof temp, "K440dTUn.log") &&
            text_copy(path, sizeof path, temp))
            open_run_log(path);
    }
    drop_held_log_lines();  // no log opens after the inventory
}

int run_steps(run_record *record, HINSTANCE instance, const char *command_line,
              const char *arguments, int arguments_fit, HANDLE *mutex, int *ended) {
    int result = RESULT_UNSUPPORTED_OS;
    if (!os_is_refused(record->os_class))
        result = arguments_fit ? parse_options(arguments, record) : RESULT_BAD_SWITCH;
    // Chosen before anything is shown. A refused system or command line has its switches
    // unread, so its box is in the user's language.
    choose_language(record);
    if (result == RESULT_UNSUPPORTED_OS || !arguments_fit) return result;
    // Under WOW64 the companion does the run and keeps its log; this program opens none.
    if (result == RESULT_SUCCESS) result = take_process_kind(record, command_line, mutex, ended);
    if (*ended) return result;
    open_requested_log(record, 0);
    if (result != RESULT_SUCCESS) return result;
    collect_inventory(record);
    open_requested_log(record, 1);
    if (record->dry_run && record->before_rebooting && !record->ignore_before_reboot_cmd) {
        log_line("plan: register %s to run once after the next restart and offer the restart; "
                 "remove nothing now", record->own_path);
        return RESULT_SUCCESS;
    }
    if (record->before_rebooting && !record->ignore_before_reboot_cmd) {
        if (!register_resume(record->profile->uninstaller_name, record->own_path))
            return RESULT_RESUME_NOT_ARRANGED;
        prompt_restart();
        close_mutex(mutex);
        *ended = 1;
        return RESULT_SUCCESS;
    }
    result = run_prechecks(record);
    if (result != RESULT_SUCCESS) return result;
    if (record->dry_run) {
        write_removal_plan(record);
        return RESULT_SUCCESS;
    }
    if (record->quiet)
        result = run_removal(record);
    else
        result = (int)run_confirmation_dialog(instance, record);
    free_run_lists(record);
    return result;
}

// The message step and the restart step; closes the mutex and returns the exit code. A partial
// removal keeps its 15 whatever the restart does: the restart completes what was handed to it,
// not what stayed.
int report_and_restart(run_record *record, int result, HANDLE *mutex) {
    show_result_messages(record, result);
    if (record->restart_needed) {
        log_line("restart needed");
        if (record->msi_mode) {
            close_mutex(mutex);
            return result == RESULT_PARTIAL_REMOVAL ? result : RESULT_SUCCESS;
        }
        if (result != RESULT_PARTIAL_REMOVAL) result = RESULT_RESTART_NEEDED;
        if (record->force_rebooting) {
            force_restart(record->os_class);
        } else if ((!record->quiet && !record->leave_source) || record->force_rebootprompt) {
            prompt_restart();
        }
    }
    close_mutex(mutex);
    return result;
}

}  // namespace

int build_argument_text(char *buffer, size_t size, const char *command_line,
                        const char *extra_switches) {
    if (strlen(command_line) > COMMAND_LINE_LIMIT || !text_copy(buffer, size, command_line))
        return 0;
    if (extra_switches && extra_switches[0]) {
        if (!text_append(buffer, size, " \t") || !text_append(buffer, size, extra_switches)) {
            buffer[0] = '\0';
            return 0;
        }
    }
    return 1;
}

int run_uninstaller(product_profile *profile, HINSTANCE instance, const char *command_line) {
    run_record record;
    memset(&record, 0, sizeof record);
    record.profile = profile;
    record.os_class = classify_os();

    HANDLE mutex = CreateMutexA(0, FALSE, profile->product_guid);
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return RESULT_ALREADY_RUNNING;

    char arguments[ARGUMENT_TEXT_SIZE];
    int arguments_fit = build_argument_text(arguments, sizeof arguments,
                                            command_line ? command_line : "",
                                            profile->extra_switches);
    hold_log_lines();  // until it is known whether, and where, this run logs
    log_run_header(&record, arguments_fit ? arguments : "(refused: too long)");
    int ended = 0;
    int result = run_steps(&record, instance, command_line ? command_line : "", arguments,
                           arguments_fit, &mutex, &ended);
    free_run_lists(&record);  // also after a refusal or the resume registration
    use_32bit_software_view(0);
    if (!ended) result = report_and_restart(&record, result, &mutex);
    log_line("result %d", result);
    close_run_log();
    return result;
}
