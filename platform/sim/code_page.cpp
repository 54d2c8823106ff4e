#include "code_page.h"

#include <iconv.h>

#include <cstring>

#include "machine.h"
#include "mbcs.h"

namespace sim {

namespace {

const char *charset_of(unsigned code_page) { return code_page == 932 ? "CP932" : "CP1252"; }
const char *charset() { return charset_of(active_code_page()); }

// One conversion of a short text with iconv; false when any of it does not convert.
bool convert(const char *to, const char *from, const std::string &in, std::string *out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1) return false;
    std::string input = in;
    std::string output(in.size() * 4 + 8, '\0');
    char *ip = &input[0], *op = &output[0];
    size_t il = input.size(), ol = output.size();
    size_t rc = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (rc == (size_t)-1) return false;
    output.resize(output.size() - ol);
    *out = output;
    return true;
}

std::string as_bytes(const std::u16string &text) {
    std::string bytes;
    for (char16_t c : text) {
        bytes.push_back((char)(c & 0xFF));
        bytes.push_back((char)(c >> 8));
    }
    return bytes;
}

std::u16string from_bytes(const std::string &bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.push_back((char16_t)((unsigned char)bytes[i] | (unsigned char)bytes[i + 1] << 8));
    return text;
}

// Best fits of the Latin letters and signs the code pages lack, as the platform's best-fit
// tables give them: the letter without its accent, the sign as its ASCII look-alike.
const char latin1_fits[] =  // U+00A0 .. U+00FF; '\0': no best fit
    " !\0\0\0\0|\0\0ca\0\0-R\0\0\0" "23\0\0\0\0,1o\0\0\0\0\0"
    "AAAAAAACEEEEIIIIDNOOOOO\0OUUUUY\0s"
    "aaaaaaaceeeeiiiidnooooo\0ouuuuy\0y";
const char latin_a_fits[] =  // U+0100 .. U+017F
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiJjJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRr"
    "SsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

char best_fit_letter(char16_t c) {
    if (c >= 0xA0 && c <= 0xFF) return latin1_fits[c - 0xA0];
    if (c >= 0x100 && c < 0x100 + sizeof latin_a_fits - 1) return latin_a_fits[c - 0x100];
    return '\0';
}

}  // namespace

bool ansi_to_unicode(const std::string &ansi, std::u16string *out) {
    return code_page_to_unicode(ansi, active_code_page(), out);
}

bool code_page_to_unicode(const std::string &ansi, unsigned code_page, std::u16string *out) {
    out->clear();
    bool whole = true;
    for (size_t i = 0; i < ansi.size();) {
        unsigned char c = (unsigned char)ansi[i];
        bool lead = is_lead_byte_in(c, code_page);
        size_t n = lead && i + 1 < ansi.size() && ansi[i + 1] ? 2 : 1;
        std::string wide;
        if (n == 1 && lead) {
            out->push_back(0x30FB);  // the platform's stand-in for a lead byte without trail
            whole = false;
        } else if (n == 1 && c < 0x80) {
            out->push_back((char16_t)c);
        } else if (convert("UTF-16LE", charset_of(code_page), ansi.substr(i, n), &wide)) {
            *out += from_bytes(wide);
        } else {
            out->push_back(0x30FB);
        }
        i += n;
    }
    return whole;
}

std::string ansi_of_character(char16_t c, AnsiFit *fit) {
    *fit = EXACT;
    if (c < 0x80) return std::string(1, (char)c);
    std::string bytes;
    if (convert(charset(), "UTF-16LE", as_bytes(std::u16string(1, c)), &bytes)) {
        std::u16string back;
        if (!ansi_to_unicode(bytes, &back) || back != std::u16string(1, c)) *fit = BEST_FIT;
        return bytes;
    }
    char letter = best_fit_letter(c);
    *fit = letter ? BEST_FIT : DEFAULT_CHAR;
    return std::string(1, letter ? letter : '?');
}

std::string unicode_to_ansi(const std::u16string &text) {
    std::string out;
    AnsiFit fit;
    for (char16_t c : text) out += ansi_of_character(c, &fit);
    return out;
}

bool has_exact_ansi_form(const std::u16string &text) {
    std::u16string back;
    return ansi_to_unicode(unicode_to_ansi(text), &back) && back == text;
}

std::u16string utf8_to_unicode(const std::string &utf8) {
    std::string bytes;
    if (!convert("UTF-16LE", "UTF-8", utf8, &bytes)) return std::u16string();
    return from_bytes(bytes);
}

std::u16string wide_text(const uint16_t *text) {
    std::u16string out;
    for (; text && *text; ++text) out.push_back((char16_t)*text);
    return out;
}

std::string unicode_to_utf8(const std::u16string &text) {
    std::string bytes;
    if (!convert("UTF-8", "UTF-16LE", as_bytes(text), &bytes)) return std::string();
    return bytes;
}

}  // namespace sim
