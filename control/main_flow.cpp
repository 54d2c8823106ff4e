#include "control/main_flow.h"

#include <string.h>

#include "base/options.h"
#include "base/os_class.h"
#include "base/registry_view.h"
#include "base/result_codes.h"
#include "base/run_record.h"
#include "base/text_buffer.h"
#include "control/admin_check.h"
#include "control/answering_session.h"
#include "control/companion.h"
#include "control/confirmation_dialog.h"
#include "control/exit_codes.h"
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

// The run log names each SetupAPI function the platform lacks; the caller then takes its
// route for a call that failed.
void log_missing_function(const char *function, unsigned long load_error) {
    char failure[FAILURE_TEXT_SIZE];
    if (load_error)
        log_line("load setupapi.dll for %s: %s", function, failure_text(load_error, failure));
    else
        log_line("find %s in setupapi.dll: not there", function);
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
            use_registry_view_of(record);
            return RESULT_SUCCESS;
        case PROCESS_UNDER_WOW64: {
            DWORD exit_code = 0;
            if (!run_companion(command_line, mutex, &exit_code)) return RESULT_UNSUPPORTED_OS;
            *ended = 1;
            record->companion_ran = 1;  // its exit code is final, in its own terms
            return (int)exit_code;
        }
        default:
            return RESULT_UNSUPPORTED_OS;
    }
}

// The log a run asked for opens as soon as its path is known; a dry run without one writes
// its plan to K440dTUn.log in the folder for temporary files. A log that cannot be opened
// stops nothing. Returns what opening the requested path answered (0 when none was asked for).
int open_requested_log(run_record *record, int inventory_done) {
    int opened = record->log_file[0] ? open_run_log(record->log_file) : 0;
    if (!inventory_done) return opened;
    if (!run_log_is_open() && record->dry_run) {
        char temp[PATH_SIZE];
        char path[PATH_SIZE];
        DWORD length = GetTempPathA(sizeof temp, temp);
        if (length > 0 && length < sizeof temp && text_append(temp, sizeof temp, "K440dTUn.log") &&
            text_copy(path, sizeof path, temp))
            open_run_log(path);
    }
    drop_held_log_lines();  // no log opens after the inventory
    return opened;
}

// A dialog that could not be created (no desktop to show it on) asked no one: nothing changed.
int confirm_and_remove(run_record *record, HINSTANCE instance) {
    INT_PTR answer = run_confirmation_dialog(instance, record);
    if (answer != -1) return (int)answer;
    log_line("the confirmation dialog could not be shown (error %lu): nothing was changed; "
             "where no one can answer, start the program with -quiet",
             (unsigned long)GetLastError());
    record->no_boxes = 1;
    return RESULT_NO_ONE_TO_ASK;
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
    // "/quiet /norestart" was meant to ask nothing: refused without a box, and not taken as a
    // run that shows its dialog, as words without a "-" would be.
    if (has_slash_word(command_line)) {
        record->no_boxes = 1;
        log_line("refused: a switch starts with \"/\"; this program's switches start with \"-\" "
                 "(-quiet)");
        return RESULT_BAD_SWITCH;
    }
    // Under WOW64 the companion does the run and keeps its log; this program opens none.
    if (result == RESULT_SUCCESS) result = take_process_kind(record, command_line, mutex, ended);
    if (*ended) return result;
    // Before the inventory only the command line can have named the log: a path that opens
    // as no file is refused there like one that names a device.
    if (open_requested_log(record, 0) == LOG_NOT_A_FILE && result == RESULT_SUCCESS)
        result = RESULT_BAD_SWITCH;
    if (result != RESULT_SUCCESS) return result;
    if (record->no_boxes && !record->quiet) {
        log_line("no one can answer in this session (its window station is not visible): "
                 "nothing was changed; start the program with -quiet");
        return RESULT_NO_ONE_TO_ASK;
    }
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
        if (!record->no_boxes) prompt_restart(record);
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
        result = confirm_and_remove(record, instance);
    free_run_lists(record);
    return result;
}

// The message step and the restart step; closes the mutex and returns the result; sets
// *restart_started when the program started the restart. A partial removal keeps its 15
// whatever the restart does: the restart completes what was handed to it, not what stayed.
// Where no box may be shown the restart question is not asked: the restart stays needed and
// the result says so.
int report_and_restart(run_record *record, int result, HANDLE *mutex, int *restart_started) {
    show_result_messages(record, result);
    if (record->restart_needed) {
        log_line("restart needed");
        if (record->msi_mode) {
            close_mutex(mutex);
            return result == RESULT_PARTIAL_REMOVAL ? result : RESULT_SUCCESS;
        }
        if (result != RESULT_PARTIAL_REMOVAL) result = RESULT_RESTART_NEEDED;
        if (record->force_rebooting) {
            *restart_started = force_restart(record->os_class);
        } else if (!record->no_boxes &&
                   ((!record->quiet && !record->leave_source) || record->force_rebootprompt)) {
            *restart_started = prompt_restart(record);
        }
    }
    close_mutex(mutex);
    return result;
}

// Whether the switches of a run that ended before they were parsed ask for Windows Installer's
// exit codes.
int asks_for_msi_exit_codes(run_record *record, const char *arguments, int arguments_fit) {
    if (!arguments_fit) return 0;
    run_record scratch;
    memset(&scratch, 0, sizeof scratch);
    scratch.os_class = record->os_class;
    parse_options(arguments, &scratch);
    return scratch.msi_exit_codes;
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

    char arguments[ARGUMENT_TEXT_SIZE];
    int arguments_fit = build_argument_text(arguments, sizeof arguments,
                                            command_line ? command_line : "",
                                            profile->extra_switches);
    HANDLE mutex = CreateMutexA(0, FALSE, profile->product_guid);
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        if (mutex) CloseHandle(mutex);
        return asks_for_msi_exit_codes(&record, arguments, arguments_fit) ? MSI_ANOTHER_RUNNING
                                                                          : RESULT_ALREADY_RUNNING;
    }
    report_missing_setupapi_functions(log_missing_function);
    record.no_boxes = !someone_can_answer(record.os_class);
    hold_log_lines();  // until it is known whether, and where, this run logs
    log_run_header(&record, arguments_fit ? arguments : "(refused: too long)");
    int ended = 0;
    int result = run_steps(&record, instance, command_line ? command_line : "", arguments,
                           arguments_fit, &mutex, &ended);
    free_run_lists(&record);  // also after a refusal or the resume registration
    use_registry_view_of(0);
    int restart_started = 0;
    if (!ended) result = report_and_restart(&record, result, &mutex, &restart_started);
    log_line("result %d", result);
    if (record.msi_exit_codes && !record.companion_ran) {
        result = msi_exit_code(result, restart_started);
        log_line("exit code %d (Windows Installer's terms)", result);
    }
    close_run_log();
    release_setupapi();
    return result;
}
