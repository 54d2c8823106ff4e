#include "base/options.h"

#include <string.h>

#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/result_codes.h"

namespace {

struct switch_entry {
    const char *name;
    int run_record::*flag;  // none for "-ensure_win"
};

// In the order in which they are compared: the first name that matches wins.
const switch_entry switches[] = {
    {"-quiet", &run_record::quiet},
    {"-leave_source", &run_record::leave_source},
    {"-msi_mode", &run_record::msi_mode},
    {"-show_error", &run_record::show_error},
    {"-prefix_only", &run_record::prefix_only},
    {"-force_rebootprompt", &run_record::force_rebootprompt},
    {"-force_rebooting", &run_record::force_rebooting},
    {"-ignore_before_reboot_cmd", &run_record::ignore_before_reboot_cmd},
    {"-before_rebooting", &run_record::before_rebooting},
    {"-skip_inf_validation", &run_record::skip_inf_validation},
    {"-ensure_win", 0},
};

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

int parse_options(const char *text, run_record *record) {
    const char *position = mb_find_char(text, '-');
    while (position) {
        const switch_entry *found = 0;
        for (size_t i = 0; i < sizeof switches / sizeof switches[0]; ++i) {
            if (mb_prefix_equal_nocase(position, switches[i].name, strlen(switches[i].name))) {
                found = &switches[i];
                break;
            }
        }
        if (!found) return RESULT_BAD_SWITCH;
        if (found->flag) {
            record->*(found->flag) = 1;
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
