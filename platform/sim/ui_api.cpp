// Message boxes of the simulated platform: recorded with text, caption and style, and answered
// from the machine's UI script.
#include "ui_api.h"

#include "code_page.h"
#include "machine.h"

using namespace sim;

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
