// The machine's ANSI code page (932 or 1252) against Unicode, as Windows converts between
// them: ANSI to Unicode character by character; Unicode to ANSI with the code page's best-fit
// table, so that a character the code page does not hold comes back as a look-alike (U+00A5
// YEN SIGN as 0x5C, a backslash, under code page 932; e-acute as "e") or as "?".
#ifndef K440_SIM_CODE_PAGE_H
#define K440_SIM_CODE_PAGE_H

#include <cstdint>
#include <string>

namespace sim {

// False when the bytes are no text of the code page (a lead byte without its trail byte,
// which `out` then holds as U+30FB, as the platform does).
bool ansi_to_unicode(const std::string &ansi, std::u16string *out);
// The same with a code page named (932 or 1252), whatever the ANSI code page is.
bool code_page_to_unicode(const std::string &bytes, unsigned code_page, std::u16string *out);
// One character's ANSI form and how it was found.
enum AnsiFit { EXACT, BEST_FIT, DEFAULT_CHAR };
std::string ansi_of_character(char16_t c, AnsiFit *fit);
// What the ANSI functions hand back for a Unicode text.
std::string unicode_to_ansi(const std::u16string &text);
// True when the ANSI form of the text reads back as the same text.
bool has_exact_ansi_form(const std::u16string &text);

std::u16string utf8_to_unicode(const std::string &utf8);
// A terminated text of UTF-16 units (a WCHAR text); empty for null.
std::u16string wide_text(const uint16_t *text);
std::string unicode_to_utf8(const std::u16string &text);

}  // namespace sim

#endif
