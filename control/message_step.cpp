#include "control/message_step.h"

#include <stdio.h>

#include "base/result_codes.h"
#include "base/run_log.h"
#include "control/main_flow.h"
#include "control/text_output.h"
#include "platform/win32.h"

namespace {

shown_text detail_line_for(const product_profile *profile, int result) {
    switch (result) {
        case RESULT_NO_INSTALLED_DRIVER: return profile->version_message;
        case RESULT_NOT_ADMINISTRATOR: return profile->not_admin_message;
        case RESULT_HANDSET_ATTACHED: return profile->device_connected_message;
        default: {
            const shown_text none = {0, 0};
            return none;
        }
    }
}

// A dry run that went through tells where its plan is, not that anything was removed.
void show_plan_box(const run_record *record) {
    const product_profile *profile = record->profile;
    const char *title = text_in(profile->dialog_title, record->language);
    const char *written = text_in(profile->plan_written_text, record->language);
    const char *not_written = text_in(profile->plan_not_written_text, record->language);
    const char *path = run_log_path();
    if (path[0] && written)
        show_message(record, written, path, title, MB_ICONINFORMATION);
    else if (not_written)
        show_message(record, not_written, 0, title, MB_ICONINFORMATION);
}

}  // namespace

void show_failure_box(const run_record *record, int result) {
    product_profile *profile = record->profile;
    apply_failure_text_fallback(profile);
    const char *failure = text_in(profile->failure_text, record->language);
    const char *detail = text_in(detail_line_for(profile, result), record->language);
    char message[MESSAGE_TEXT_SIZE];
    if (detail)
        snprintf(message, sizeof message, "%s (%d)\n%s", failure, result, detail);
    else
        snprintf(message, sizeof message, "%s (%d)", failure, result);
    show_message(record, message, 0, text_in(profile->failure_caption, record->language),
                 MB_ICONERROR);
}

void show_result_messages(run_record *record, int result) {
    const product_profile *profile = record->profile;
    int language = record->language;
    if (record->no_boxes) return;
    if (record->dry_run && result == RESULT_SUCCESS) {
        if (!record->quiet) show_plan_box(record);
        return;
    }
    if (!record->quiet && result == RESULT_SUCCESS)
        show_message(record, text_in(profile->success_text, language), 0,
                     text_in(profile->success_caption, language), MB_ICONINFORMATION);
    // Further boxes only when both switches are given or neither is.
    if ((record->quiet != 0) != (record->show_error != 0)) return;
    if (result == RESULT_SUCCESS) return;
    if (result == RESULT_CANCELLED)
        show_message(record, text_in(profile->cancelled_text, language), 0,
                     text_in(profile->cancelled_caption, language), MB_ICONINFORMATION);
    else
        show_failure_box(record, result);
}
