#include "control/message_step.h"

#include <stdio.h>

#include "base/result_codes.h"
#include "control/main_flow.h"
#include "base/run_log.h"
#include "platform/win32.h"

namespace {

const char *detail_line_for(const product_profile *profile, int result) {
    switch (result) {
        case RESULT_NO_INSTALLED_DRIVER: return profile->version_message;
        case RESULT_NOT_ADMINISTRATOR: return profile->not_admin_message;
        case RESULT_HANDSET_ATTACHED: return profile->device_connected_message;
        default: return 0;
    }
}

// A dry run that went through tells where its plan is, not that anything was removed.
void show_plan_box(product_profile *profile) {
    const char *path = run_log_path();
    if (!path[0] || !profile->plan_written_text) {
        if (profile->plan_not_written_text)
            MessageBoxA(0, profile->plan_not_written_text, profile->dialog_title,
                        MB_ICONINFORMATION);
        return;
    }
    char message[MESSAGE_TEXT_SIZE];
    snprintf(message, sizeof message, "%s\n%s", profile->plan_written_text, path);
    MessageBoxA(0, message, profile->dialog_title, MB_ICONINFORMATION);
}

}  // namespace

void show_failure_box(product_profile *profile, int result) {
    apply_failure_text_fallback(profile);
    char message[MESSAGE_TEXT_SIZE];
    const char *detail = detail_line_for(profile, result);
    if (detail)
        snprintf(message, sizeof message, "%s (%d)\n%s", profile->failure_text, result, detail);
    else
        snprintf(message, sizeof message, "%s (%d)", profile->failure_text, result);
    MessageBoxA(0, message, profile->failure_caption, MB_ICONERROR);
}

void show_result_messages(run_record *record, int result) {
    product_profile *profile = record->profile;
    if (record->no_boxes) return;
    if (record->dry_run && result == RESULT_SUCCESS) {
        if (!record->quiet) show_plan_box(profile);
        return;
    }
    if (!record->quiet && result == RESULT_SUCCESS)
        MessageBoxA(0, profile->success_text, profile->success_caption, MB_ICONINFORMATION);
    // Further boxes only when both switches are given or neither is.
    if ((record->quiet != 0) != (record->show_error != 0)) return;
    if (result == RESULT_SUCCESS) return;
    if (result == RESULT_CANCELLED)
        MessageBoxA(0, profile->cancelled_text, profile->cancelled_caption, MB_ICONINFORMATION);
    else
        show_failure_box(profile, result);
}
