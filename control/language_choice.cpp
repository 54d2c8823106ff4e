#include "control/language_choice.h"

#include "base/os_class.h"
#include "base/unicode_text.h"
#include "control/text_output.h"
#include "platform/win32.h"

namespace {

const UINT japanese_code_page = 932;
const WORD japanese_primary_language = 0x11;  // LANG_JAPANESE

// Windows 2000 and later have GetUserDefaultUILanguage.
typedef LANGID(WINAPI *ui_language_function)(void);

// Where Windows cannot tell the user's UI language (Windows 98/ME, NT 4.0), its ANSI code
// page does: Japanese Windows of that time had code page 932.
int user_reads_japanese(void) {
    ui_language_function ui_language =
        (ui_language_function)system_function("kernel32.dll", "GetUserDefaultUILanguage");
    if (ui_language) return PRIMARYLANGID(ui_language()) == japanese_primary_language;
    return GetACP() == japanese_code_page;
}

int is_nt_platform(int os_class) { return os_class == OS_NT4 || os_class >= OS_FIRST_NT; }

}  // namespace

void choose_language(run_record *record) {
    int wanted = record->forced_language;
    if (!wanted) wanted = user_reads_japanese() ? LANGUAGE_JAPANESE : LANGUAGE_ENGLISH;
    record->language = LANGUAGE_ENGLISH;
    record->unicode_texts = 0;
    if (wanted != LANGUAGE_JAPANESE) return;
    if (is_nt_platform(record->os_class)) {
        if (!unicode_output_works(record->profile->dialog_title.japanese)) return;
        record->unicode_texts = 1;
    } else if (GetACP() != japanese_code_page) {
        return;
    }
    record->language = LANGUAGE_JAPANESE;
}
