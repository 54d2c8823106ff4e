#include "base/present_names.h"

#include <string.h>

#include "base/folder_listing.h"
#include "base/mbtext.h"
#include "base/run_record.h"

namespace {

int same_ascii_letter_or_digit(char a, char b) {
    if (a >= '0' && a <= '9') return a == b;
    char upper = (a >= 'a' && a <= 'z') ? (char)(a - 32) : a;
    if (upper < 'A' || upper > 'Z') return 0;
    return upper == b || upper == b - 32;
}

// Only plain ASCII is taken, so that the pattern matches as the names compare, whatever the
// code page.
void listing_pattern(const string_list_entry *names, char *pattern) {
    size_t length = names ? strlen(names->text) : 0;
    for (const string_list_entry *n = names; n; n = n->next) {
        size_t same = 0;
        while (same < length && same_ascii_letter_or_digit(n->text[same], names->text[same]))
            ++same;
        length = same;
    }
    memcpy(pattern, names ? names->text : "", length);
    strcpy(pattern + length, "*");
}

struct lookup {
    const string_list_entry *names;
    string_list_entry *present;
};

void note_name(const char *name, DWORD, int, void *context) {
    lookup *found = (lookup *)context;
    for (const string_list_entry *n = found->names; n; n = n->next)
        if (mb_equal_nocase(n->text, name) && !string_list_holds(found->present, n->text))
            push_string(&found->present, n->text);
}

}  // namespace

string_list_entry *present_names(const char *folder, const string_list_entry *names) {
    char pattern[PATH_SIZE];
    listing_pattern(names, pattern);
    lookup found = {names, 0};
    if (names) list_folder(folder, pattern, note_name, &found);
    return found.present;
}
