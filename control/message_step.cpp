#include "control/message_step.h"

#include <stdio.h>

#include "base/result_codes.h"
#include "control/main_flow.h"
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
