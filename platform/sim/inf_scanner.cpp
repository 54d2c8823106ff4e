#include "inf_scanner.h"

namespace sim {

bool InfScanner::line_start() {
    for (; !at_file_end(pos); pos += length_at(pos)) {
        char c = text[pos];
        if (c == '\n') {
            close_line();
        } else if (c == ';') {
            ++pos;
            enter(InfMode::comment, InfMode::line_start);
            return true;
        } else if (c == '[') {
            mark = ++pos;
            mode = InfMode::section_name;
            return true;
        } else if (!blank_at(pos)) {
            if (section >= 0) {
                mark = pos;
                mode = InfMode::key;
                return true;
            }
            stray_text = true;  // skipped character by character
        }
    }
    close_line();
    return false;
}

bool InfScanner::section_name() {
    for (; !at_line_end(pos); pos += length_at(pos)) {
        if (text[pos] != ']') continue;
        take(pos);
        add_section();
        if (error) return false;
        ++pos;
        enter(InfMode::comment, InfMode::line_start);  // the rest of the header line is ignored
        return true;
    }
    error = ERROR_BAD_SECTION_NAME_LINE;
    return false;
}

// The marks a key and a value share: a comment ends the line, a quote opens quoted text, a
// backslash may join the next line, a blank may start the field's trailing blanks. `end` is
// the end of the field's text so far; `in` the mode to come back to.
bool InfScanner::field_mark(size_t end, InfMode in) {
    char c = text[pos];
    if (c == ';') {
        take(end);
        add_field(false);
        ++pos;
        enter(InfMode::comment, InfMode::line_start);
    } else if (c == '"') {
        take(pos);
        mark = ++pos;
        enter(InfMode::quoted, in);
    } else if (c == '\\') {
        take(end);
        mark = pos;
        enter(InfMode::backslash, in);
    } else if (blank_at(pos)) {
        take(pos);
        enter(InfMode::trailing_blanks, in);
    } else {
        return false;
    }
    return true;
}

void InfScanner::key() {
    size_t end = mark;  // end of the text before any trailing blanks
    for (; !at_line_end(pos) && text[pos] != ','; pos += length_at(pos)) {
        char c = text[pos];
        if (c == '=') {
            take(end);
            add_field(true);
            mark = ++pos;
            enter(InfMode::leading_blanks, InfMode::value);
            return;
        }
        if (field_mark(end, InfMode::key)) return;
        end = pos + length_at(pos);
    }
    take(end);
    mode = InfMode::value;  // a line without "=": the key text is its first field
}

void InfScanner::value() {
    size_t end = mark;
    for (; !at_line_end(pos); pos += length_at(pos)) {
        char c = text[pos];
        if (c == ',') {
            take(end);
            add_field(false);
            mark = ++pos;
            enter(InfMode::leading_blanks, InfMode::value);
            return;
        }
        if (field_mark(end, InfMode::value)) return;
        end = pos + length_at(pos);
    }
    take(end);
    add_field(false);
    mode = InfMode::line_start;
}

// After a backslash: blanks, further backslashes and a comment may follow before the end of
// the line, which then goes on on the next one; any other text makes the backslash (with the
// blanks after it) part of the field.
void InfScanner::backslash() {
    for (; !at_file_end(pos); pos += length_at(pos)) {
        char c = text[pos];
        if (c == '\n') {
            mark = ++pos;
            mode = InfMode::leading_blanks;  // returns to the key or value being read
            return;
        }
        if (c == '\\' || blank_at(pos)) continue;
        if (c == ';') {
            ++pos;
            enter(InfMode::comment, InfMode::backslash);
            return;
        }
        take(pos);
        leave();
        return;
    }
    mark = pos;
    leave();
}

void InfScanner::quoted() {
    for (; !at_line_end(pos); pos += length_at(pos)) {
        if (text[pos] != '"') continue;
        if (pos + 1 < text.size() && text[pos + 1] == '"') {
            take(pos + 1);  // "" is one quote
            mark = pos + 2;
            ++pos;
            continue;
        }
        take(pos);
        mark = ++pos;
        leave();
        return;
    }
    take(pos);
    leave();
}

void InfScanner::leading_blanks() {
    for (; !at_line_end(pos); pos += length_at(pos)) {
        if (text[pos] == '\\') {
            mark = pos;
            mode = InfMode::backslash;
            return;
        }
        if (!blank_at(pos)) break;
    }
    mark = pos;
    leave();
}

// Blanks are taken into the field only when more text follows them.
void InfScanner::trailing_blanks() {
    for (; !at_line_end(pos); pos += length_at(pos)) {
        if (text[pos] == '\\') {
            mode = InfMode::backslash;
            return;
        }
        if (!blank_at(pos)) break;
    }
    leave();
}

bool InfScanner::step() {
    switch (mode) {
        case InfMode::line_start: return line_start();
        case InfMode::section_name: return section_name();
        case InfMode::key: key(); break;
        case InfMode::value: value(); break;
        case InfMode::backslash: backslash(); break;
        case InfMode::quoted: quoted(); break;
        case InfMode::leading_blanks: leading_blanks(); break;
        case InfMode::trailing_blanks: trailing_blanks(); break;
        case InfMode::comment:
            while (!at_line_end(pos)) pos += length_at(pos);
            leave();
            break;
    }
    return error == 0;
}

}  // namespace sim
