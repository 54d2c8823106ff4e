// The process entry: a GUI program without a main window.
#include "control/main_flow.h"
#include "base/profile.h"
#include "platform/win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    (void)previous;
    (void)show;
    product_profile *profile = builtin_profile();
    profile->dialog_id = 102;
    profile->text_control_id = 1002;
    profile->uninstall_button_id = 1003;
    profile->cancel_button_id = 1004;
    return run_uninstaller(profile, instance, command_line ? command_line : "");
}
