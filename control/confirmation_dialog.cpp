#include "control/confirmation_dialog.h"

#include "base/result_codes.h"
#include "control/text_output.h"
#include "removal/run_removal.h"

// The run record and profile of the one dialog that exists at a time, kept by WM_INITDIALOG
// for the button commands that follow.
static run_record *g_dialog_record = 0;
static product_profile *g_dialog_profile = 0;

// The template's font is a Japanese one; English takes the system's dialog font, which every
// Windows has and which suits its own language.
static void use_language_font(HWND dialog, const run_record *record) {
    if (record->language != LANGUAGE_ENGLISH) return;
    const product_profile *profile = record->profile;
    WPARAM font = (WPARAM)GetStockObject(DEFAULT_GUI_FONT);
    SendMessageA(dialog, WM_SETFONT, font, FALSE);
    SendDlgItemMessageA(dialog, profile->text_control_id, WM_SETFONT, font, FALSE);
    SendDlgItemMessageA(dialog, profile->uninstall_button_id, WM_SETFONT, font, FALSE);
    SendDlgItemMessageA(dialog, profile->cancel_button_id, WM_SETFONT, font, FALSE);
}

static void set_dialog_texts(HWND dialog, const run_record *record) {
    const product_profile *profile = record->profile;
    int language = record->language;
    show_window_text(record, dialog, text_in(profile->dialog_title, language));
    show_item_text(record, dialog, profile->text_control_id,
                   text_in(profile->dialog_text, language));
    show_item_text(record, dialog, profile->uninstall_button_id,
                   text_in(profile->uninstall_button_text, language));
    show_item_text(record, dialog, profile->cancel_button_id,
                   text_in(profile->cancel_button_text, language));
}

// Shows the progress text and hides both buttons, so that the removal can neither be started
// twice nor cancelled, and paints that before the removal keeps the thread busy.
static void show_progress(HWND dialog, const run_record *record) {
    const product_profile *profile = record->profile;
    show_item_text(record, dialog, profile->text_control_id,
                   progress_text_of(profile, record->language));
    ShowWindow(GetDlgItem(dialog, profile->uninstall_button_id), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, profile->cancel_button_id), SW_HIDE);
    UpdateWindow(dialog);
}

static INT_PTR CALLBACK confirmation_dialog_procedure(HWND dialog, UINT message, WPARAM wparam,
                                                      LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        g_dialog_record = (run_record *)lparam;
        g_dialog_profile = g_dialog_record->profile;
        use_language_font(dialog, g_dialog_record);
        set_dialog_texts(dialog, g_dialog_record);
        return 0;  // no initial focus
    }
    if (message != WM_COMMAND || !g_dialog_profile) return 0;
    int id = LOWORD(wparam);
    if (id == g_dialog_profile->uninstall_button_id) {
        show_progress(dialog, g_dialog_record);
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
    return show_dialog(record, instance, record->profile->dialog_id, confirmation_dialog_procedure,
                       (LPARAM)record);
}
