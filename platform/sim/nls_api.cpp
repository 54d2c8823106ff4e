// MultiByteToWideChar and WideCharToMultiByte over the machine's ANSI code page (CP_ACP only),
// and the run-time lookup of the functions that not every Windows exports.
#include "nls_api.h"

#include <cstring>
#include <string>

#include "code_page.h"
#include "files_wide_api.h"
#include "machine.h"
#include "mbcs.h"
#include "registry_wide_api.h"
#include "system_api.h"

using namespace sim;

namespace {

bool fail(DWORD error) {
    SetLastError(error);
    return false;
}

bool known_code_page(UINT code_page) {
    return code_page == CP_ACP || code_page == current_machine().code_page;
}

}  // namespace

int MultiByteToWideChar(UINT code_page, DWORD flags, LPCSTR text, int bytes, LPWSTR wide,
                        int wide_size) {
    if (!known_code_page(code_page) || !text || bytes == 0 || wide_size < 0)
        return fail(ERROR_INVALID_PARAMETER), 0;
    std::string in = bytes < 0 ? std::string(text, strlen(text) + 1) : std::string(text, bytes);
    std::u16string out;
    if (!ansi_to_unicode(in, &out) && (flags & MB_ERR_INVALID_CHARS))
        return fail(ERROR_NO_UNICODE_TRANSLATION), 0;
    if (wide_size == 0) return (int)out.size();
    if ((int)out.size() > wide_size) return fail(ERROR_INSUFFICIENT_BUFFER), 0;
    for (size_t i = 0; i < out.size(); ++i) wide[i] = out[i];
    return (int)out.size();
}

int WideCharToMultiByte(UINT code_page, DWORD flags, LPCWSTR wide, int wide_length, LPSTR text,
                        int size, LPCSTR default_char, LPBOOL used_default_char) {
    if (!known_code_page(code_page) || !wide || wide_length == 0 || size < 0)
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

namespace {

const HMODULE kernel32 = reinterpret_cast<HMODULE>(0x7C800000);
const HMODULE advapi32 = reinterpret_cast<HMODULE>(0x77DD0000);

template <typename Function>
FARPROC as_proc(Function *function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(function));
}

}  // namespace

HMODULE GetModuleHandleA(LPCSTR name) {
    record_call("GetModuleHandleA", name ? name : "(null)");
    std::string module = name ? lower(name) : "";
    if (module == "kernel32.dll" || module == "kernel32") return kernel32;
    if (module == "advapi32.dll" || module == "advapi32") return advapi32;
    return fail(ERROR_FILE_NOT_FOUND), nullptr;
}

// Both families export these names; on Windows 98/ME they are stubs that fail with
// ERROR_CALL_NOT_IMPLEMENTED, which the simulated functions do there too.
FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    record_call("GetProcAddress", name ? name : "(null)");
    std::string function = name ? name : "";
    if (module == kernel32 && function == "FindFirstFileW") return as_proc(FindFirstFileW);
    if (module == kernel32 && function == "FindNextFileW") return as_proc(FindNextFileW);
    if (module == advapi32 && function == "RegQueryValueExW") return as_proc(RegQueryValueExW);
    return fail(127 /* ERROR_PROC_NOT_FOUND */), nullptr;
}
