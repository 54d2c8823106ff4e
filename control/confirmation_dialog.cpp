#include "control/confirmation_dialog.h"

#include "base/result_codes.h"
#include "removal/run_removal.h"

// The run record and profile of the one dialog that exists at a time, kept by WM_INITDIALOG
// for the button commands that follow.
static run_record *g_dialog_record = 0;
static product_profile *g_dialog_profile = 0;

static void set_dialog_texts(HWND dialog, const product_profile *profile) {
    SetWindowTextA(dialog, profile->dialog_title);
    SetDlgItemTextA(dialog, profile->text_control_id, profile->dialog_text);
    SetDlgItemTextA(dialog, profile->uninstall_button_id, profile->uninstall_button_text);
    SetDlgItemTextA(dialog, profile->cancel_button_id, profile->cancel_button_text);
}

// Shows the progress text and hides both buttons, so that the removal can neither be started
// twice nor cancelled, and paints that before the removal keeps the thread busy.
static void show_progress(HWND dialog, const product_profile *profile) {
    SetDlgItemTextA(dialog, profile->text_control_id, progress_text_of(profile));
    ShowWindow(GetDlgItem(dialog, profile->uninstall_button_id), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, profile->cancel_button_id), SW_HIDE);
    UpdateWindow(dialog);
}

static INT_PTR CALLBACK confirmation_dialog_procedure(HWND dialog, UINT message, WPARAM wparam,
                                                      LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        g_dialog_record = (run_record *)lparam;
        g_dialog_profile = g_dialog_record->profile;
        set_dialog_texts(dialog, g_dialog_profile);
        return 0;  // no initial focus
    }
    if (message != WM_COMMAND || !g_dialog_profile) return 0;
    int id = LOWORD(wparam);
    if (id == g_dialog_profile->uninstall_button_id) {
        show_progress(dialog, g_dialog_profile);
        int result = run_removal(g_dialog_record);
        EndDialog(dialog, result);
        return 1;
    }
    if (id == g_dialog_profile->cancel_button_id) {
        EndDialog(dialog, RESULT_CANCELLED);
        return 1;
    }
    // Escape and the close box arrive as IDCANCEL (2): only the two buttons end the dialog.
    return 0;
}

INT_PTR run_confirmation_dialog(HINSTANCE instance, run_record *record) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(record->profile->dialog_id), 0,
                           confirmation_dialog_procedure, (LPARAM)record);
}
