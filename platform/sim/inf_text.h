// How SetupAPI reads the bytes of an INF file: as UTF-16LE when they look like it (with or
// without a byte-order mark, by the platform's IsTextUnicode test), as UTF-8 after a UTF-8
// byte-order mark, otherwise in the ANSI code page. The simulated parser works on the text in
// the machine's code page; characters that it lacks read as "?", and a code page 932 lead byte
// without its trail byte as the default character.
#ifndef K440_SIM_INF_TEXT_H
#define K440_SIM_INF_TEXT_H

#include <string>

namespace sim {

// True when the platform would take `bytes` for UTF-16LE text.
bool looks_like_utf16(const std::string &bytes);
// The file's text in code page `code_page` (932 or 1252).
std::string inf_text_in_code_page(const std::string &bytes, unsigned code_page);

}  // namespace sim

#endif
