// Message boxes of the simulated platform: recorded with text, caption and style, and answered
// from the machine's UI script.
#include "ui_api.h"

#include "code_page.h"
#include "machine.h"
#include "system_api.h"

using namespace sim;

HWINSTA WINAPI GetProcessWindowStation(void) {
    record_call("GetProcessWindowStation", "");
    return reinterpret_cast<HWINSTA>(static_cast<uintptr_t>(0x5A));
}

BOOL WINAPI GetUserObjectInformationA(HANDLE object, int index, PVOID info, DWORD length,
                                      LPDWORD needed) {
    record_call("GetUserObjectInformationA", std::to_string(index));
    if (needed) *needed = sizeof(USEROBJECTFLAGS);
    if (object != GetProcessWindowStation() || index != UOI_FLAGS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!info || length < sizeof(USEROBJECTFLAGS)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    USEROBJECTFLAGS *flags = static_cast<USEROBJECTFLAGS *>(info);
    flags->fInherit = FALSE;
    flags->fReserved = FALSE;
    flags->dwFlags = current_machine().ui.window_station_visible ? WSF_VISIBLE : 0;
    return TRUE;
}

namespace {

int show_box(HWND owner, MessageBoxRecord box, UINT style) {
    box.style = style;
    box.has_owner = owner != nullptr;
    Machine &m = current_machine();
    m.ui.boxes.push_back(box);
    if (m.ui.answer_box) return m.ui.answer_box(box);
    return IDOK;
}

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    record_call("MessageBoxA", std::string(text ? text : "") + " | " + (caption ? caption : "") +
                                   " | " + hex(style));
    MessageBoxRecord box;
    box.text = text ? text : "";
    box.caption = caption ? caption : "Error";
    ansi_to_unicode(box.text, &box.unicode_text);
    ansi_to_unicode(box.caption, &box.unicode_caption);
    return show_box(owner, box, style);
}

int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
    MessageBoxRecord box;
    box.unicode_text = wide_text(text);
    box.unicode_caption = caption ? wide_text(caption) : u"Error";
    record_call("MessageBoxW", unicode_to_utf8(box.unicode_text) + " | " +
                                   unicode_to_utf8(box.unicode_caption) + " | " + hex(style));
    box.text = unicode_to_ansi(box.unicode_text);
    box.caption = unicode_to_ansi(box.unicode_caption);
    box.unicode = true;
    return show_box(owner, box, style);
}
