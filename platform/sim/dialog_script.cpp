// The DIALOG statements of a resource script, with the styles the resource compiler (rc,
// windres) computes: a dialog without STYLE is WS_POPUP | WS_BORDER | WS_SYSMENU, CAPTION adds
// WS_CAPTION and FONT adds DS_SETFONT; a control is WS_CHILD | WS_VISIBLE with its kind's
// default style, or with its kind's base style and the styles it names.
#include "dialog_script.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "fixture_loader.h"

namespace sim {

namespace {

// The platform's names (windows.h) a dialog script may use.
const DWORD WS_POPUP_STYLE = 0x80000000, WS_CHILD_STYLE = 0x40000000,
            WS_VISIBLE_STYLE = 0x10000000, WS_CAPTION_STYLE = 0x00C00000,
            WS_BORDER_STYLE = 0x00800000, WS_SYSMENU_STYLE = 0x00080000,
            WS_GROUP_STYLE = 0x00020000, WS_TABSTOP_STYLE = 0x00010000,
            DS_SETFONT_STYLE = 0x40, BS_PUSHBUTTON_STYLE = 0, BS_DEFPUSHBUTTON_STYLE = 1,
            SS_LEFT_STYLE = 0;

const struct {
    const char *name;
    DWORD value;
} PLATFORM_NAMES[] = {
    {"WS_POPUP", WS_POPUP_STYLE},       {"WS_CHILD", WS_CHILD_STYLE},
    {"WS_VISIBLE", WS_VISIBLE_STYLE},   {"WS_DISABLED", 0x08000000},
    {"WS_CAPTION", WS_CAPTION_STYLE},   {"WS_BORDER", WS_BORDER_STYLE},
    {"WS_SYSMENU", WS_SYSMENU_STYLE},   {"WS_GROUP", WS_GROUP_STYLE},
    {"WS_TABSTOP", WS_TABSTOP_STYLE},   {"DS_MODALFRAME", 0x80},
    {"DS_SETFONT", DS_SETFONT_STYLE},   {"DS_SETFOREGROUND", 0x200},
    {"DS_CENTER", 0x800},               {"BS_PUSHBUTTON", BS_PUSHBUTTON_STYLE},
    {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON_STYLE}, {"SS_LEFT", SS_LEFT_STYLE},
};

// The control statements read, with their window class and styles.
const struct {
    const char *keyword;
    const char *window_class;
    DWORD default_style;  // no style given
    DWORD base_style;     // what the given styles add to
} CONTROL_KINDS[] = {
    {"DEFPUSHBUTTON", "Button", BS_DEFPUSHBUTTON_STYLE | WS_TABSTOP_STYLE,
     BS_DEFPUSHBUTTON_STYLE | WS_TABSTOP_STYLE},
    {"PUSHBUTTON", "Button", BS_PUSHBUTTON_STYLE | WS_TABSTOP_STYLE,
     BS_PUSHBUTTON_STYLE | WS_TABSTOP_STYLE},
    {"LTEXT", "Static", SS_LEFT_STYLE | WS_GROUP_STYLE, SS_LEFT_STYLE},
};

struct Token {
    enum Kind { WORD, NUMBER, TEXT, MARK } kind;
    std::string text;  // a WORD, the TEXT without its quotes, the MARK (',' or '|')
    unsigned long number;
    int line;
};

struct Script {
    std::string folder;
    std::vector<Token> tokens;
    std::map<std::string, unsigned long> defines;
    size_t at = 0;
    std::string error;
};

bool fail(Script *s, int line, const std::string &what) {
    if (s->error.empty()) s->error = "line " + std::to_string(line) + ": " + what;
    return false;
}

// Decimal, or hexadecimal after 0x; a trailing L as C allows.
bool parse_number(std::string text, unsigned long *number) {
    if (!text.empty() && (text.back() == 'L' || text.back() == 'l')) text.pop_back();
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char *digits = text.c_str() + (hex ? 2 : 0);
    char *end = nullptr;
    unsigned long long value = std::strtoull(digits, &end, hex ? 16 : 10);
    if (!*digits || *end || value > 0xFFFFFFFFull) return false;
    *number = (unsigned long)value;
    return true;
}

bool tokenize(Script *s, const std::string &text);

// #include "file" brings in the file's #define lines (the platform's headers, <...>, are the
// names above); #define NAME number names an id; include guards change nothing here.
bool directive(Script *s, const std::string &line_text, int line) {
    std::istringstream in(line_text);
    std::string word, name, value;
    in >> word >> name;
    if (word == "include") {
        if (name.size() > 2 && name.front() == '<' && name.back() == '>') return true;
        if (name.size() < 3 || name.front() != '"' || name.back() != '"')
            return fail(s, line, "unreadable #include " + name);
        std::string path = s->folder + "/" + name.substr(1, name.size() - 2), included;
        if (!read_text_file(path, &included)) return fail(s, line, "cannot read " + path);
        size_t before = s->tokens.size();
        if (!tokenize(s, included)) {
            s->error = path + ", " + s->error;
            return false;
        }
        if (s->tokens.size() != before) return fail(s, line, path + " holds more than directives");
        return true;
    }
    if (word == "define") {
        if (!(in >> value)) return true;
        unsigned long number;
        if (!parse_number(value, &number)) return fail(s, line, name + " is not a number");
        s->defines[name] = number;
        return true;
    }
    if (word == "ifndef" || word == "ifdef" || word == "endif" || word == "pragma") return true;
    return fail(s, line, "unknown directive #" + word);
}

bool is_word_char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool tokenize(Script *s, const std::string &text) {
    int line = 1;
    bool line_start = true;
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == '\n') ++line, line_start = true, ++i;
        else if (c == ' ' || c == '\t' || c == '\r') ++i;
        else if (text.compare(i, 2, "//") == 0) i = std::min(text.find('\n', i), text.size());
        else if (c == '#' && line_start) {
            size_t end = text.find('\n', i);
            if (end == std::string::npos) end = text.size();
            if (!directive(s, text.substr(i + 1, end - i - 1), line)) return false;
            i = end;
        } else if (c == '"') {
            // A quote inside a text is written twice; other escapes are not read.
            std::string value;
            for (++i;; ++i) {
                if (i >= text.size() || text[i] == '\n') return fail(s, line, "unterminated text");
                if (text[i] == '\\') return fail(s, line, "escape sequences are not read");
                if (text[i] == '"' && text.compare(i, 2, "\"\"") != 0) break;
                if (text[i] == '"') ++i;
                value += text[i];
            }
            ++i;
            s->tokens.push_back(Token{Token::TEXT, value, 0, line});
            line_start = false;
        } else if (is_word_char(c)) {
            size_t end = i;
            while (end < text.size() && is_word_char(text[end])) ++end;
            Token t{Token::WORD, text.substr(i, end - i), 0, line};
            if (c >= '0' && c <= '9') {
                t.kind = Token::NUMBER;
                if (!parse_number(t.text, &t.number)) return fail(s, line, "bad number " + t.text);
            }
            s->tokens.push_back(t);
            line_start = false;
            i = end;
        } else if (c == ',' || c == '|') {
            s->tokens.push_back(Token{Token::MARK, std::string(1, c), 0, line});
            line_start = false;
            ++i;
        } else {
            return fail(s, line, std::string("unexpected character '") + c + "'");
        }
    }
    return true;
}

const Token *peek(const Script *s) { return s->at < s->tokens.size() ? &s->tokens[s->at] : nullptr; }

int current_line(const Script *s) {
    if (const Token *t = peek(s)) return t->line;
    return s->tokens.empty() ? 1 : s->tokens.back().line;
}

bool at_word(const Script *s, const char *word) {
    const Token *t = peek(s);
    return t && t->kind == Token::WORD && t->text == word;
}

bool take_word(Script *s, const char *word) {
    if (!at_word(s, word)) return false;
    ++s->at;
    return true;
}

bool take_mark(Script *s, char mark) {
    const Token *t = peek(s);
    if (!t || t->kind != Token::MARK || t->text[0] != mark)
        return fail(s, current_line(s), std::string("expected '") + mark + "'");
    ++s->at;
    return true;
}

bool take_optional_mark(Script *s, char mark) {
    const Token *t = peek(s);
    return t && t->kind == Token::MARK && t->text[0] == mark && take_mark(s, mark);
}

bool take_text(Script *s, std::string *text) {
    const Token *t = peek(s);
    if (!t || t->kind != Token::TEXT) return fail(s, current_line(s), "expected a quoted text");
    *text = t->text;
    ++s->at;
    return true;
}

// A number, a name of the script's #define lines or, where `platform_names`, of windows.h.
bool take_value(Script *s, bool platform_names, unsigned long *value) {
    const Token *t = peek(s);
    if (!t || (t->kind != Token::NUMBER && t->kind != Token::WORD))
        return fail(s, current_line(s), "expected a number or a name");
    ++s->at;
    if (t->kind == Token::NUMBER) return *value = t->number, true;
    auto defined = s->defines.find(t->text);
    if (defined != s->defines.end()) return *value = defined->second, true;
    if (platform_names)
        for (const auto &n : PLATFORM_NAMES)
            if (t->text == n.name) return *value = n.value, true;
    return fail(s, t->line, "unknown name " + t->text);
}

// Operands whose values the simulation does not use: places, sizes, the font's size and
// the platform's language names.
bool skip_operands(Script *s, int count) {
    for (int i = 0; i < count; ++i) {
        if (i && !take_mark(s, ',')) return false;
        const Token *t = peek(s);
        if (!t || (t->kind != Token::WORD && t->kind != Token::NUMBER))
            return fail(s, current_line(s), "expected a number or a name");
        ++s->at;
    }
    return true;
}

// name | number ...: each one added to `style`.
bool take_style(Script *s, DWORD *style) {
    do {
        unsigned long flag;
        if (!take_value(s, true, &flag)) return false;
        *style |= (DWORD)flag;
    } while (take_optional_mark(s, '|'));
    return true;
}

bool take_id(Script *s, int *id) {
    int line = current_line(s);
    unsigned long value;
    if (!take_value(s, false, &value)) return false;
    if (value == 0 || value > 0xFFFF) return fail(s, line, "id out of range");
    *id = (int)value;
    return true;
}

// KIND "text", id, x, y, width, height [, style]
bool take_control(Script *s, DialogTemplate *dialog) {
    for (const auto &kind : CONTROL_KINDS) {
        if (!take_word(s, kind.keyword)) continue;
        DialogControl c;
        c.window_class = kind.window_class;
        if (!take_text(s, &c.text) || !take_mark(s, ',') || !take_id(s, &c.id) ||
            !take_mark(s, ',') || !skip_operands(s, 4))
            return false;
        c.style = WS_CHILD_STYLE | WS_VISIBLE_STYLE | kind.default_style;
        if (take_optional_mark(s, ',')) {
            c.style = WS_CHILD_STYLE | WS_VISIBLE_STYLE | kind.base_style;
            if (!take_style(s, &c.style)) return false;
        }
        dialog->controls.push_back(c);
        return true;
    }
    const Token *t = peek(s);
    return fail(s, current_line(s), t ? "unknown control " + t->text : "no END");
}

// id DIALOG x, y, width, height, its statements, then BEGIN controls END.
bool take_dialog(Script *s, std::map<int, DialogTemplate> *templates) {
    int line = current_line(s), id;
    if (!take_id(s, &id)) return false;
    if (!take_word(s, "DIALOG")) return fail(s, line, "expected DIALOG (only dialogs are read)");
    if (!skip_operands(s, 4)) return false;
    DialogTemplate dialog;
    DWORD style = WS_POPUP_STYLE | WS_BORDER_STYLE | WS_SYSMENU_STYLE, added = 0;
    while (!take_word(s, "BEGIN")) {
        if (take_word(s, "STYLE")) {
            style = 0;
            if (!take_style(s, &style)) return false;
        } else if (take_word(s, "CAPTION")) {
            if (!take_text(s, &dialog.title)) return false;
            added |= WS_CAPTION_STYLE;
        } else if (take_word(s, "FONT")) {
            std::string face;
            if (!skip_operands(s, 1) || !take_mark(s, ',') || !take_text(s, &face)) return false;
            added |= DS_SETFONT_STYLE;
        } else {
            const Token *t = peek(s);
            return fail(s, current_line(s), t ? "unknown dialog statement " + t->text : "no BEGIN");
        }
    }
    dialog.style = style | added;
    while (!take_word(s, "END"))
        if (!take_control(s, &dialog)) return false;
    if (templates->count(id)) return fail(s, line, "dialog " + std::to_string(id) + " twice");
    (*templates)[id] = dialog;
    return true;
}

}  // namespace

bool parse_dialog_script(const std::string &text, const std::string &folder,
                         std::map<int, DialogTemplate> *templates, std::string *error) {
    Script s;
    s.folder = folder;
    std::map<int, DialogTemplate> read;
    bool ok = tokenize(&s, text);
    while (ok && peek(&s)) {
        // LANGUAGE names the resources' language, which the simulated platform does not choose by.
        ok = take_word(&s, "LANGUAGE") ? skip_operands(&s, 2) : take_dialog(&s, &read);
    }
    if (ok && read.empty()) ok = fail(&s, current_line(&s), "no DIALOG statement");
    if (!ok) {
        *error = s.error;
        return false;
    }
    *templates = read;
    return true;
}

bool read_dialog_script(const std::string &path, std::map<int, DialogTemplate> *templates,
                        std::string *error) {
    std::string text;
    if (!read_text_file(path, &text)) {
        *error = "cannot read " + path;
        return false;
    }
    size_t slash = path.find_last_of("/\\");
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    if (parse_dialog_script(text, folder, templates, error)) return true;
    *error = path + ", " + *error;
    return false;
}

// The simulated machine carries the dialogs of the program's own resource script, read once;
// a script the reader cannot read ends the run rather than leave a machine without them.
std::map<int, DialogTemplate> product_dialog_templates() {
    static const std::map<int, DialogTemplate> templates = [] {
        std::map<int, DialogTemplate> read;
        std::string error;
        if (!read_dialog_script(K440_DIALOG_SCRIPT, &read, &error)) {
            std::fprintf(stderr, "the program's dialog script: %s\n", error.c_str());
            std::abort();
        }
        return read;
    }();
    return templates;
}

}  // namespace sim
