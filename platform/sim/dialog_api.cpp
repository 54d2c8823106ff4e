// Modal dialogs of the simulated platform (user32): DialogBoxParamA builds the dialog from the
// program's template, sends WM_INITDIALOG with the creation parameter, then delivers the
// simulated user's inputs as the platform's dialog manager does (a button click and the Enter
// key as WM_COMMAND with the button's id; the Escape key and the close box as WM_COMMAND with
// IDCANCEL, 2) until the procedure calls EndDialog.
#include "code_page.h"
#include "machine.h"
#include "system_api.h"
#include "ui_api.h"

using namespace sim;

namespace {

#define ERROR_RESOURCE_NAME_NOT_FOUND_VALUE 1814L
#define ERROR_INVALID_WINDOW_HANDLE_VALUE 1400L
#define ERROR_CONTROL_ID_NOT_FOUND_VALUE 1421L
#define BN_CLICKED_VALUE 0
#define BS_TYPE_MASK 0x0F
#define BS_DEFPUSHBUTTON_VALUE 0x01
#define DEFAULT_GUI_FONT_HANDLE 0x018A0021

struct WindowRef {
    DialogWindow *dialog = nullptr;
    DialogControl *control = nullptr;  // null: the dialog window itself
};

// Finds a window handle among the open dialogs.
WindowRef find_window(HWND hwnd) {
    WindowRef ref;
    uintptr_t handle = reinterpret_cast<uintptr_t>(hwnd);
    if (!handle) return ref;
    for (DialogWindow &d : current_machine().ui.dialogs) {
        if (!d.open) continue;
        if (d.handle == handle) {
            ref.dialog = &d;
            return ref;
        }
        for (DialogControl &c : d.controls) {
            if (c.handle == handle) {
                ref.dialog = &d;
                ref.control = &c;
                return ref;
            }
        }
    }
    return ref;
}

DialogWindow *find_dialog(HWND hwnd) {
    WindowRef ref = find_window(hwnd);
    return ref.control ? nullptr : ref.dialog;
}

HWND as_hwnd(uintptr_t handle) { return reinterpret_cast<HWND>(handle); }

// Windows 98/ME export the Unicode forms of these functions as stubs.
bool unicode_windows(void) {
    if (current_machine().is_nt()) return true;
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return false;
}

LPARAM control_handle(const DialogWindow &d, int id) {
    const DialogControl *c = d.control(id);
    return c ? (LPARAM)c->handle : 0;
}

int default_button_id(const DialogWindow &d) {
    for (const DialogControl &c : d.controls)
        if (c.window_class == "Button" && (c.style & BS_TYPE_MASK) == BS_DEFPUSHBUTTON_VALUE)
            return c.id;
    return IDOK;
}

void send_command(DLGPROC procedure, const DialogWindow &d, int id) {
    procedure(as_hwnd(d.handle), WM_COMMAND, (WPARAM)((BN_CLICKED_VALUE << 16) | (id & 0xFFFF)),
              control_handle(d, id));
}

// Delivers one input. The dialog is addressed by index: the procedure may show other windows.
void deliver(DLGPROC procedure, size_t index, const DialogInput &input) {
    std::vector<DialogWindow> &dialogs = current_machine().ui.dialogs;
    DialogWindow snapshot = dialogs[index];
    ++dialogs[index].inputs_delivered;
    switch (input.kind) {
        case DialogInput::PRESS: {
            const DialogControl *c = snapshot.control(input.control_id);
            // Only a visible button can be clicked.
            if (!c || !c->visible || c->window_class != "Button") return;
            send_command(procedure, snapshot, input.control_id);
            return;
        }
        case DialogInput::ENTER:
            send_command(procedure, snapshot, default_button_id(snapshot));
            return;
        case DialogInput::ESCAPE:
            send_command(procedure, snapshot, IDCANCEL);
            return;
        case DialogInput::CLOSE_BOX:
            // The default dialog procedure turns WM_CLOSE that the procedure leaves alone
            // into the cancel command.
            if (!procedure(as_hwnd(snapshot.handle), WM_CLOSE, 0, 0))
                send_command(procedure, snapshot, IDCANCEL);
            return;
    }
}

const char *input_name(const DialogInput &input) {
    switch (input.kind) {
        case DialogInput::PRESS: return "press";
        case DialogInput::ENTER: return "enter";
        case DialogInput::ESCAPE: return "escape";
        case DialogInput::CLOSE_BOX: return "close";
    }
    return "?";
}

}  // namespace

namespace sim {

DialogControl *DialogWindow::control(int id) {
    for (DialogControl &c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

const DialogControl *DialogWindow::control(int id) const {
    for (const DialogControl &c : controls)
        if (c.id == id) return &c;
    return nullptr;
}

}  // namespace sim

namespace {

// DialogBoxParamA and DialogBoxParamW: templates are found by id only (`name`, 0 for a name
// given as text).
INT_PTR run_dialog(const char *function, uintptr_t name, const std::string &detail, HWND owner,
                   DLGPROC procedure, LPARAM init_param, bool unicode) {
    bool by_id = name != 0;
    record_call(function, detail + (owner ? " owned" : " no-owner"));
    Machine &m = current_machine();
    DWORD error;
    if (m.take_fault(function, detail, &error)) {
        SetLastError(error);
        return -1;
    }
    auto found = by_id ? m.ui.dialog_templates.find((int)name) : m.ui.dialog_templates.end();
    if (found == m.ui.dialog_templates.end()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND_VALUE);
        return -1;
    }
    if (!procedure) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    DialogWindow window;
    window.template_id = (int)name;
    window.unicode = unicode;
    window.handle = new_handle_number();
    window.title = found->second.title;
    window.unicode_title = utf8_to_unicode(window.title);
    window.controls = found->second.controls;
    for (DialogControl &c : window.controls) {
        c.handle = new_handle_number();
        c.unicode_text = utf8_to_unicode(c.text);
    }
    window.open = true;
    m.ui.dialogs.push_back(window);
    size_t index = m.ui.dialogs.size() - 1;
    uintptr_t first_control = window.controls.empty() ? 0 : window.controls[0].handle;

    procedure(as_hwnd(window.handle), WM_INITDIALOG, (WPARAM)first_control, init_param);
    bool entered = false;
    while (!m.ui.dialogs[index].ended) {
        DialogInput input;
        if (!m.ui.dialog_inputs.empty()) {
            input = m.ui.dialog_inputs.front();
            m.ui.dialog_inputs.erase(m.ui.dialog_inputs.begin());
        } else if (m.ui.enter_when_out_of_input && !entered) {
            input.kind = DialogInput::ENTER;
            entered = true;
        } else {
            break;
        }
        record_call("DialogInput", std::string(input_name(input)) + " " +
                                       std::to_string(input.control_id));
        deliver(procedure, index, input);
    }
    DialogWindow &done = m.ui.dialogs[index];
    done.open = false;
    if (!done.ended) {
        done.left_open = true;
        record_call(function, "left open");
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    return done.result;
}

}  // namespace

INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR template_name, HWND owner, DLGPROC procedure,
                        LPARAM init_param) {
    (void)instance;
    uintptr_t name = reinterpret_cast<uintptr_t>(template_name);
    bool by_id = name <= 0xFFFF;
    return run_dialog("DialogBoxParamA", by_id ? name : 0,
                      by_id ? std::to_string(name) : std::string(template_name), owner,
                      procedure, init_param, false);
}

INT_PTR WINAPI DialogBoxParamW(HINSTANCE instance, LPCWSTR template_name, HWND owner,
                               DLGPROC procedure, LPARAM init_param) {
    (void)instance;
    if (!unicode_windows()) return 0;
    uintptr_t name = reinterpret_cast<uintptr_t>(template_name);
    bool by_id = name <= 0xFFFF;
    return run_dialog("DialogBoxParamW", by_id ? name : 0,
                      by_id ? std::to_string(name) : unicode_to_utf8(wide_text(template_name)),
                      owner, procedure, init_param, true);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    record_call("EndDialog", std::to_string((long long)result));
    DialogWindow *d = find_dialog(dialog);
    if (!d) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE_VALUE);
        return FALSE;
    }
    d->ended = true;
    d->result = result;
    return TRUE;
}

namespace {

// Both forms of a text set through the ANSI functions (ansi) or the Unicode functions.
struct TextSet {
    std::string ansi;
    std::u16string unicode;
};

TextSet ansi_text_set(LPCSTR text) {
    TextSet set;
    set.ansi = text ? text : "";
    ansi_to_unicode(set.ansi, &set.unicode);
    return set;
}

TextSet unicode_text_set(LPCWSTR text) {
    TextSet set;
    set.unicode = wide_text(text);
    set.ansi = unicode_to_ansi(set.unicode);
    return set;
}

BOOL set_window_text(const char *function, HWND window, const TextSet &text) {
    WindowRef ref = find_window(window);
    record_call(function, std::string(ref.control ? std::to_string(ref.control->id)
                                                  : std::string("dialog")) +
                              " " + unicode_to_utf8(text.unicode));
    if (!ref.dialog) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE_VALUE);
        return FALSE;
    }
    (ref.control ? ref.control->text : ref.dialog->title) = text.ansi;
    (ref.control ? ref.control->unicode_text : ref.dialog->unicode_title) = text.unicode;
    return TRUE;
}

DialogControl *find_item(const char *function, HWND dialog, int item, const std::string &detail) {
    record_call(function, std::to_string(item) + (detail.empty() ? "" : " " + detail));
    DialogWindow *d = find_dialog(dialog);
    if (!d) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE_VALUE);
        return nullptr;
    }
    DialogControl *c = d->control(item);
    if (!c) SetLastError(ERROR_CONTROL_ID_NOT_FOUND_VALUE);
    return c;
}

BOOL set_item_text(const char *function, HWND dialog, int item, const TextSet &text) {
    DialogControl *c = find_item(function, dialog, item, unicode_to_utf8(text.unicode));
    if (!c) return FALSE;
    c->text = text.ansi;
    c->unicode_text = text.unicode;
    return TRUE;
}

}  // namespace

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    return set_window_text("SetWindowTextA", window, ansi_text_set(text));
}

BOOL SetDlgItemTextA(HWND dialog, int item, LPCSTR text) {
    return set_item_text("SetDlgItemTextA", dialog, item, ansi_text_set(text));
}

BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text) {
    if (!unicode_windows()) return FALSE;
    TextSet set = unicode_text_set(text);
    // A dialog made by DialogBoxParamA is an ANSI window: its title reaches it in the ANSI
    // code page, as Windows and Wine hand it on (its controls keep the Unicode text).
    WindowRef ref = find_window(window);
    if (ref.dialog && !ref.control && !ref.dialog->unicode) set = ansi_text_set(set.ansi.c_str());
    return set_window_text("SetWindowTextW", window, set);
}

BOOL WINAPI SetDlgItemTextW(HWND dialog, int item, LPCWSTR text) {
    if (!unicode_windows()) return FALSE;
    return set_item_text("SetDlgItemTextW", dialog, item, unicode_text_set(text));
}

HGDIOBJ GetStockObject(int object) {
    record_call("GetStockObject", std::to_string(object));
    if (object != DEFAULT_GUI_FONT) return nullptr;
    return reinterpret_cast<HGDIOBJ>(DEFAULT_GUI_FONT_HANDLE);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    (void)lparam;
    WindowRef ref = find_window(window);
    record_call("SendMessageA", hex(message));
    if (message == WM_SETFONT && ref.control) ref.control->font = wparam;
    return 0;
}

LRESULT SendDlgItemMessageA(HWND dialog, int item, UINT message, WPARAM wparam, LPARAM lparam) {
    (void)lparam;
    DialogControl *c = find_item("SendDlgItemMessageA", dialog, item, hex(message));
    if (c && message == WM_SETFONT) c->font = wparam;
    return 0;
}

HWND GetDlgItem(HWND dialog, int item) {
    DialogControl *c = find_item("GetDlgItem", dialog, item, "");
    return c ? as_hwnd(c->handle) : nullptr;
}

BOOL ShowWindow(HWND window, int command) {
    WindowRef ref = find_window(window);
    record_call("ShowWindow", std::string(ref.control ? std::to_string(ref.control->id)
                                                      : std::string(ref.dialog ? "dialog" : "?")) +
                                  " " + std::to_string(command));
    if (!ref.dialog || !ref.control) return FALSE;  // only controls are shown or hidden here
    bool was_visible = ref.control->visible;
    ref.control->visible = command != SW_HIDE;
    return was_visible ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    WindowRef ref = find_window(window);
    record_call("UpdateWindow", ref.control ? std::to_string(ref.control->id) : "dialog");
    return ref.dialog ? TRUE : FALSE;
}
