#include "inf_text.h"

#include <iconv.h>

#include <errno.h>
#include <string.h>

namespace sim {

namespace {

// The outcome flags of the IsTextUnicode test that decide here.
enum : unsigned {
    statistics = 0x0002,
    controls = 0x0004,
    signature = 0x0008,
    reverse_controls = 0x0040,
    reverse_signature = 0x0080,
    odd_length = 0x0200,
    null_bytes = 0x1000,
};

unsigned utf16_unit(const std::string &bytes, size_t i) {
    return (unsigned char)bytes[2 * i] | (unsigned char)bytes[2 * i + 1] << 8;
}

// Code page text of UTF-16LE units, character by character; "?" for what it lacks.
std::string units_to_code_page(const std::string &utf16le, unsigned code_page) {
    const char *name = code_page == 932 ? "CP932" : "CP1252";
    iconv_t to = iconv_open(name, "UTF-16LE");
    std::string out;
    size_t units = utf16le.size() / 2;
    for (size_t i = 0; i < units;) {
        size_t count = 1;
        unsigned u = utf16_unit(utf16le, i);
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units) count = 2;
        char in[4];
        memcpy(in, utf16le.data() + 2 * i, 2 * count);
        char converted[8];
        char *in_p = in, *out_p = converted;
        size_t in_left = 2 * count, out_left = sizeof converted;
        iconv(to, nullptr, nullptr, nullptr, nullptr);
        if (u == 0) out.push_back('\0');
        else if (to != (iconv_t)-1 && iconv(to, &in_p, &in_left, &out_p, &out_left) != (size_t)-1)
            out.append(converted, out_p - converted);
        else out.append(count, '?');  // one for each unit, as for a surrogate pair
        i += count;
    }
    if (to != (iconv_t)-1) iconv_close(to);
    return out;
}

// UTF-16LE of UTF-8 text; a byte that starts no valid sequence reads as U+FFFD.
std::string utf8_to_units(const std::string &utf8) {
    iconv_t to = iconv_open("UTF-16LE", "UTF-8");
    std::string out;
    if (to == (iconv_t)-1) return out;
    std::string input = utf8;
    char *in_p = &input[0];
    size_t in_left = input.size();
    while (in_left > 0) {
        char buffer[4096];
        char *out_p = buffer;
        size_t out_left = sizeof buffer;
        size_t done = iconv(to, &in_p, &in_left, &out_p, &out_left);
        out.append(buffer, out_p - buffer);
        if (done == (size_t)-1 && errno != E2BIG) {
            out.append("\xFD\xFF", 2);
            ++in_p;
            --in_left;
        }
    }
    iconv_close(to);
    return out;
}

// Code page 932 text as its conversion to wide text and back gives it: a lead byte without a
// valid trail byte after it reads as the default character (U+30FB, 0x81 0x45), and the byte
// after it stays a character of its own.
std::string with_lone_lead_bytes_replaced(const std::string &text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = (unsigned char)text[i];
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead) {
            out.push_back(text[i]);
            continue;
        }
        unsigned char t = i + 1 < text.size() ? (unsigned char)text[i + 1] : 0;
        if ((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC)) {
            out.append(text, i, 2);
            ++i;
        } else {
            out.append("\x81\x45");
        }
    }
    return out;
}

}  // namespace

bool looks_like_utf16(const std::string &bytes) {
    size_t size = bytes.size();
    if (size < 2) return false;
    unsigned flags = 0;
    if (size & 1) flags |= odd_length;
    if (bytes[size - 1] == '\0') --size;  // a final NUL byte is not counted
    size_t units = size / 2;
    if (units > 256) units = 256;  // only the start of the text is looked at
    unsigned first = utf16_unit(bytes, 0);
    if (first == 0xFEFF) flags |= signature;
    if (first == 0xFFFE) flags |= reverse_signature;
    size_t small_units = 0;
    for (size_t i = 0; i < units; ++i) {
        unsigned u = utf16_unit(bytes, i);
        if (u <= 0xFF) ++small_units;
        if ((u & 0xFF) == 0 || (u >> 8) == 0) flags |= null_bytes;
        if (u == '\r' || u == '\n' || u == '\t' || u == ' ' || u == 0x3000) flags |= controls;
        if (u == 0x0D00 || u == 0x0A00 || u == 0x0900 || u == 0x2000) flags |= reverse_controls;
    }
    if (small_units > units / 2) flags |= statistics;
    if (flags & (reverse_controls | reverse_signature | odd_length)) return false;
    if (flags & null_bytes) return true;
    return (flags & (statistics | controls | signature)) != 0;
}

std::string inf_text_in_code_page(const std::string &bytes, unsigned code_page) {
    if (looks_like_utf16(bytes)) {
        size_t skip = utf16_unit(bytes, 0) == 0xFEFF ? 2 : 0;
        return units_to_code_page(bytes.substr(skip, (bytes.size() - skip) & ~(size_t)1), code_page);
    }
    if (bytes.size() > 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return units_to_code_page(utf8_to_units(bytes.substr(3)), code_page);
    return code_page == 932 ? with_lone_lead_bytes_replaced(bytes) : bytes;
}

}  // namespace sim
