// The state machine behind parse_inf: one mode per syntactic place (line start, section
// header, key, value, the text after a backslash, quotes, blanks, comment), each reading on
// from the current position until it hands over to the next mode.
#ifndef K440_SIM_INF_SCANNER_H
#define K440_SIM_INF_SCANNER_H

#include <string>

#include "inf_parser.h"
#include "mbcs.h"

namespace sim {

const char inf_end_of_file_mark = '\x1a';  // Ctrl-Z
const size_t inf_max_field_chars = 511;
const size_t inf_max_section_name_chars = 255;

// What the parser is doing at the current position.
enum class InfMode { line_start, section_name, key, value, backslash, quoted, leading_blanks,
                  trailing_blanks, comment };

struct InfScanner {
    const std::string &text;
    InfFile *inf;
    size_t pos = 0;
    InfMode mode = InfMode::line_start;
    InfMode resume[4] = {};  // where a nested mode returns to
    int depth = 0;
    size_t mark = 0;      // start of the text not yet taken into the token
    std::string token;
    size_t token_chars = 0;
    int section = -1;
    InfLine *line = nullptr;
    bool stray_text = false;  // text before the first section header
    DWORD error = 0;

    InfScanner(const std::string &t, InfFile *f) : text(t), inf(f) {}

    size_t length_at(size_t p) const { return char_length(text.c_str() + p); }
    bool at_file_end(size_t p) const { return p >= text.size() || text[p] == inf_end_of_file_mark; }
    bool at_line_end(size_t p) const { return at_file_end(p) || text[p] == '\n'; }
    bool blank_at(size_t p) const {
        unsigned char c = (unsigned char)text[p];
        if (length_at(p) == 2) return c == 0x81 && (unsigned char)text[p + 1] == 0x40;  // U+3000
        if (c == 0xA0) return active_code_page() == 1252;  // the no-break space
        return c == ' ' || (c >= '\t' && c <= '\r');
    }
    bool nul_at(size_t p) const { return text[p] == '\0'; }

    void enter(InfMode nested, InfMode back) {
        resume[depth++] = back;
        mode = nested;
    }
    void leave() { mode = resume[--depth]; }

    // Appends the text from `mark` up to `upto` to the token (at most 511 characters; a NUL
    // reads as a blank).
    void take(size_t upto) {
        for (size_t p = mark; p < upto;) {
            size_t n = length_at(p);
            if (token_chars < inf_max_field_chars) {
                if (nul_at(p)) token.push_back(' ');
                else token.append(text, p, n);
                ++token_chars;
            }
            p += n;
        }
        mark = upto;
    }
    std::string take_token() {
        std::string out;
        out.swap(token);
        token_chars = 0;
        return out;
    }

    void add_field(bool is_key) {
        if (!line) {
            if (section < 0) {
                error = ERROR_EXPECTED_SECTION_NAME;
                return;
            }
            inf->sections[section].lines.emplace_back();
            line = &inf->sections[section].lines.back();
        }
        if (is_key) {
            line->has_key = true;
            line->key = take_token();
        } else {
            line->fields.push_back(take_token());
        }
    }
    void close_line() {
        if (line && !line->has_key && line->fields.size() == 1) {
            line->has_key = true;
            line->key = line->fields[0];
        }
        line = nullptr;
    }
    void add_section() {
        size_t chars = token_chars;
        std::string name = take_token();
        if (chars > inf_max_section_name_chars) {
            error = ERROR_SECTION_NAME_TOO_LONG;
            return;
        }
        section = inf->section_index(name);
        if (section < 0) {
            inf->sections.emplace_back();
            inf->sections.back().name = name;
            section = (int)inf->sections.size() - 1;
        }
    }

    // Runs the current mode; false when the text has ended or an error stopped it.
    bool step();
    bool line_start();
    bool section_name();
    bool field_mark(size_t end, InfMode in);
    void key();
    void value();
    void backslash();
    void quoted();
    void leading_blanks();
    void trailing_blanks();
};

}  // namespace sim

#endif
