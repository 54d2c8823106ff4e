#include "control/text_output.h"

#include <stdio.h>

#include "base/unicode_text.h"
#include "control/main_flow.h"

namespace {

const UINT japanese_code_page = 932;

// Windows 98/ME export most Unicode functions of user32 only as stubs that fail, so they are
// found at run time and used on the NT family alone.
typedef int(WINAPI *message_box_function)(HWND, LPCWSTR, LPCWSTR, UINT);
typedef BOOL(WINAPI *window_text_function)(HWND, LPCWSTR);
typedef BOOL(WINAPI *item_text_function)(HWND, int, LPCWSTR);
typedef INT_PTR(WINAPI *dialog_function)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);

message_box_function unicode_message_box(void) {
    return (message_box_function)system_function("user32.dll", "MessageBoxW");
}
window_text_function unicode_window_text(void) {
    return (window_text_function)system_function("user32.dll", "SetWindowTextW");
}
item_text_function unicode_item_text(void) {
    return (item_text_function)system_function("user32.dll", "SetDlgItemTextW");
}
dialog_function unicode_dialog(void) {
    return (dialog_function)system_function("user32.dll", "DialogBoxParamW");
}

// The text read as code page 932 into `wide`; 0 when it is no such text or does not fit.
int read_as_japanese(const char *text, WCHAR *wide, int size) {
    return MultiByteToWideChar(japanese_code_page, MB_ERR_INVALID_CHARS, text, -1, wide, size) > 0;
}

// The message and its ANSI line as one Unicode text, each read in its own code page.
int message_as_unicode(const char *text, const char *ansi_line, WCHAR *wide, int size) {
    if (!read_as_japanese(text, wide, size)) return 0;
    if (!ansi_line) return 1;
    int used = 0;
    while (wide[used]) ++used;
    if (used + 2 >= size) return 0;
    wide[used++] = '\n';
    return MultiByteToWideChar(CP_ACP, 0, ansi_line, -1, wide + used, size - used) > 0;
}

}  // namespace

int unicode_output_works(const char *sample) {
    WCHAR wide[MESSAGE_TEXT_SIZE];
    return unicode_message_box() && unicode_window_text() && unicode_item_text() &&
           unicode_dialog() && read_as_japanese(sample, wide, MESSAGE_TEXT_SIZE);
}

INT_PTR show_dialog(const run_record *record, HINSTANCE instance, int dialog_id,
                    DLGPROC procedure, LPARAM parameter) {
    dialog_function dialog = record->unicode_texts ? unicode_dialog() : 0;
    if (dialog) return dialog(instance, MAKEINTRESOURCEW(dialog_id), 0, procedure, parameter);
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(dialog_id), 0, procedure, parameter);
}

int show_message(const run_record *record, const char *text, const char *ansi_line,
                 const char *caption, UINT style) {
    if (record->unicode_texts) {
        WCHAR wide_text[MESSAGE_TEXT_SIZE];
        WCHAR wide_caption[MESSAGE_TEXT_SIZE];
        message_box_function box = unicode_message_box();
        if (box && message_as_unicode(text, ansi_line, wide_text, MESSAGE_TEXT_SIZE) &&
            read_as_japanese(caption, wide_caption, MESSAGE_TEXT_SIZE))
            return box(0, wide_text, wide_caption, style);
    }
    if (!ansi_line) return MessageBoxA(0, text, caption, style);
    char message[MESSAGE_TEXT_SIZE];
    snprintf(message, sizeof message, "%s\n%s", text, ansi_line);
    return MessageBoxA(0, message, caption, style);
}

void show_window_text(const run_record *record, HWND window, const char *text) {
    WCHAR wide[MESSAGE_TEXT_SIZE];
    window_text_function set_text = record->unicode_texts ? unicode_window_text() : 0;
    if (set_text && read_as_japanese(text, wide, MESSAGE_TEXT_SIZE))
        set_text(window, wide);
    else
        SetWindowTextA(window, text);
}

void show_item_text(const run_record *record, HWND dialog, int item, const char *text) {
    WCHAR wide[MESSAGE_TEXT_SIZE];
    item_text_function set_text = record->unicode_texts ? unicode_item_text() : 0;
    if (set_text && read_as_japanese(text, wide, MESSAGE_TEXT_SIZE))
        set_text(dialog, item, wide);
    else
        SetDlgItemTextA(dialog, item, text);
}
