// The ANSI code page, the user's UI language, and MultiByteToWideChar and WideCharToMultiByte
// over the machine's ANSI code page and code page 932.
#include "nls_api.h"

#include <cstring>
#include <string>

#include "code_page.h"
#include "machine.h"
#include "mbcs.h"
#include "system_api.h"

using namespace sim;

namespace {

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

bool is_ansi_code_page(UINT code_page) {
    return code_page == CP_ACP || code_page == current_machine().code_page;
}

bool can_read(UINT code_page) {
    return is_ansi_code_page(code_page) || (code_page == 932 && current_machine().code_page_932);
}

}  // namespace

UINT GetACP(void) { return current_machine().code_page; }

LANGID WINAPI GetUserDefaultUILanguage(void) {
    record_call("GetUserDefaultUILanguage", "");
    return current_machine().ui_language;
}

int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR text, int bytes, LPWSTR wide,
                        int wide_size) {
    if (!can_read(code_page) || !text || bytes == 0 || wide_size < 0)
        return fail(ERROR_INVALID_PARAMETER), 0;
    std::string in = bytes < 0 ? std::string(text, strlen(text) + 1) : std::string(text, bytes);
    std::u16string out;
    UINT read_as = code_page == CP_ACP ? current_machine().code_page : code_page;
    if (!code_page_to_unicode(in, read_as, &out) && (flags & MB_ERR_INVALID_CHARS))
        return fail(ERROR_NO_UNICODE_TRANSLATION), 0;
    if (wide_size == 0) return (int)out.size();
    if ((int)out.size() > wide_size) return fail(ERROR_INSUFFICIENT_BUFFER), 0;
    for (size_t i = 0; i < out.size(); ++i) wide[i] = out[i];
    return (int)out.size();
}

int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length, LPSTR text,
                        int size, LPCSTR default_char, LPBOOL used_default_char) {
    if (!is_ansi_code_page(code_page) || !wide || wide_length == 0 || size < 0)
        return fail(ERROR_INVALID_PARAMETER), 0;
    size_t length = 0;
    if (wide_length < 0)
        while (wide[length++]) {
        }
    else
        length = (size_t)wide_length;
    std::string out;
    bool used_default = false;
    for (size_t i = 0; i < length; ++i) {
        AnsiFit fit;
        std::string piece = ansi_of_character((char16_t)wide[i], &fit);
        if (fit == DEFAULT_CHAR || (fit == BEST_FIT && (flags & WC_NO_BEST_FIT_CHARS))) {
            piece = default_char ? std::string(1, *default_char) : std::string("?");
            used_default = true;
        }
        out += piece;
    }
    if (used_default_char) *used_default_char = used_default ? TRUE : FALSE;
    if (size == 0) return (int)out.size();
    if ((int)out.size() > size) return fail(ERROR_INSUFFICIENT_BUFFER), 0;
    memcpy(text, out.data(), out.size());
    return (int)out.size();
}
