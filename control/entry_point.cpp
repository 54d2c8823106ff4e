// The process entry: a GUI program without a main window.
#include "control/entry_point.h"

#include "control/main_flow.h"
#include "platform/win32.h"
#include "resources/resource.h"

void store_dialog_ids(product_profile *profile) {
    profile->dialog_id = IDD_CONFIRMATION;
    profile->text_control_id = IDC_CONFIRMATION_TEXT;
    profile->uninstall_button_id = IDC_UNINSTALL_BUTTON;
    profile->cancel_button_id = IDC_CANCEL_BUTTON;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    (void)previous;
    (void)show;
    product_profile *profile = builtin_profile();
    store_dialog_ids(profile);
    return run_uninstaller(profile, instance, command_line ? command_line : "");
}
