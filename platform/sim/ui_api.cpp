// Message boxes of the simulated platform: recorded with text, caption and style, and answered
// from the machine's UI script.
#include "ui_api.h"

#include "machine.h"

using namespace sim;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    record_call("MessageBoxA", std::string(text ? text : "") + " | " + (caption ? caption : "") +
                                   " | " + hex(style));
    MessageBoxRecord box;
    box.text = text ? text : "";
    box.caption = caption ? caption : "Error";
    box.style = style;
    box.has_owner = owner != nullptr;
    Machine &m = current_machine();
    m.ui.boxes.push_back(box);
    if (m.ui.answer_box) return m.ui.answer_box(box);
    return IDOK;
}
