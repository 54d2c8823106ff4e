#include "base/options.h"

#include <string.h>

#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/path_text.h"
#include "base/result_codes.h"
#include "platform/win32.h"

namespace {

struct switch_entry {
    const char *name;
    int run_record::*flag;  // none for "-ensure_win"
    int value;              // what the switch stores into its flag
};

// In the order in which they are compared: the first name that matches wins.
const switch_entry switches[] = {
    {"-quiet", &run_record::quiet, 1},
    {"-leave_source", &run_record::leave_source, 1},
    {"-msi_mode", &run_record::msi_mode, 1},
    {"-show_error", &run_record::show_error, 1},
    {"-prefix_only", &run_record::prefix_only, 1},
    {"-force_rebootprompt", &run_record::force_rebootprompt, 1},
    {"-force_rebooting", &run_record::force_rebooting, 1},
    {"-ignore_before_reboot_cmd", &run_record::ignore_before_reboot_cmd, 1},
    {"-before_rebooting", &run_record::before_rebooting, 1},
    {"-skip_inf_validation", &run_record::skip_inf_validation, 1},
    {"-ensure_win", 0, 0},
    {"-dry_run", &run_record::dry_run, 1},
    {"-msi_exit_codes", &run_record::msi_exit_codes, 1},
    // The last language switch given wins.
    {"-language_english", &run_record::forced_language, LANGUAGE_ENGLISH},
    {"-language_japanese", &run_record::forced_language, LANGUAGE_JAPANESE},
};

const char log_file_switch[] = "-log_file:";

// Where the OS word starts: the "win" that ends "-ensure_win".
const size_t ensure_word_offset = 8;

struct os_word {
    const char *word;
    int first_class;
    int last_class;
};

// In the order in which they are compared; "win98vers" and "win98se" come before "win98".
const os_word os_words[] = {
    {"win98vers", OS_WIN98, OS_WIN98_SE},
    {"win98se", OS_WIN98_SE, OS_WIN98_SE},
    {"win98", OS_WIN98, OS_WIN98},
    {"winme", OS_WINME, OS_WINME},
    {"winver4", OS_WIN98, OS_WINME},
    {"win2k", OS_WIN2000, OS_WIN2000},
    {"winxp", OS_WINXP, OS_WINXP},
    {"winserv2003", OS_WIN2003, OS_WIN2003},
    {"winver5", OS_WIN2000, OS_WIN2003},
};
}  // namespace

const char *match_os_word(const char *text, int os_class, int *verdict) {
    *verdict = 1;
    for (size_t i = 0; i < sizeof os_words / sizeof os_words[0]; ++i) {
        size_t length = strlen(os_words[i].word);
        if (!mb_prefix_equal_nocase(text, os_words[i].word, length)) continue;
        if (os_class < os_words[i].first_class || os_class > os_words[i].last_class) *verdict = 0;
        return text + length;
    }
    *verdict = 0;
    return text;
}

namespace {

// The path after "-log_file:" runs to the next blank or tab, or, when it begins with a double
// quote, to the closing quote, so that it may hold blanks; a hyphen inside it starts no switch.
// Returns the position after the path, or 0 when there is no path, the quote is not closed or
// the path does not fit a path buffer (it is refused, never cut), or when it names a device
// rather than a file: as administrator "\\.\PhysicalDrive0" opens the raw disk, and the log
// would be written over it. The first path given wins.
const char *take_log_path(const char *text, run_record *record) {
    const char *start = text;
    const char *end;
    const char *after;
    if (*start == '"') {
        ++start;
        end = strchr(start, '"');  // a quote is never a trail byte of code page 932
        if (!end) return 0;
        after = end + 1;
    } else {
        end = start + strcspn(start, " \t");
        after = end;
    }
    size_t length = (size_t)(end - start);
    if (length == 0 || length >= PATH_SIZE) return 0;
    char path[PATH_SIZE];
    memcpy(path, start, length);
    path[length] = '\0';
    if (names_a_device(path)) return 0;
    if (!record->log_file[0]) memcpy(record->log_file, path, length + 1);
    return after;
}

}  // namespace

int has_slash_word(const char *text) {
    int quoted = 0;
    int word_start = 1;
    for (const unsigned char *c = (const unsigned char *)text; *c; ++c) {
        if (IsDBCSLeadByte(*c) && c[1]) {  // neither byte is a quote, blank or slash
            ++c;
            word_start = 0;
            continue;
        }
        if (*c == '"') quoted = !quoted;
        if (!quoted && word_start && *c == '/') return 1;
        word_start = !quoted && (*c == ' ' || *c == '\t');
    }
    return 0;
}

int parse_options(const char *text, run_record *record) {
    const char *position = mb_find_char(text, '-');
    while (position) {
        if (mb_prefix_equal_nocase(position, log_file_switch, sizeof log_file_switch - 1)) {
            position = take_log_path(position + sizeof log_file_switch - 1, record);
            if (!position) return RESULT_BAD_SWITCH;
            position = mb_find_char(position, '-');
            continue;
        }
        const switch_entry *found = 0;
        for (size_t i = 0; i < sizeof switches / sizeof switches[0]; ++i) {
            if (mb_prefix_equal_nocase(position, switches[i].name, strlen(switches[i].name))) {
                found = &switches[i];
                break;
            }
        }
        if (!found) return RESULT_BAD_SWITCH;
        if (found->flag) {
            record->*(found->flag) = found->value;
            position += strlen(found->name);
        } else {
            int verdict = 0;
            position = match_os_word(position + ensure_word_offset, record->os_class, &verdict);
            if (!verdict) return RESULT_WRONG_OS;
        }
        position = mb_find_char(position, '-');
    }
    if (record->show_error && !record->quiet) record->show_error = 0;
    return RESULT_SUCCESS;
}
