#include "removal/wininit_rename.h"

#include <stdlib.h>
#include <string.h>

#include "base/mbtext.h"
#include "base/run_log.h"
#include "base/run_record.h"
#include "base/text_buffer.h"
#include "platform/win32.h"

// At its next start Windows 98/ME carries out the [rename] section of wininit.ini line by
// line: "target=source" moves the source onto the target, and the target NUL deletes the
// source. Every leftover gets its own line NUL=<short path>: the start runs before long file
// names are available, so the source must be the 8.3 form.
//
// The profile-string function keeps one line per key, and every line here has the key NUL,
// so the section is read whole, the new lines are added behind the lines that other programs
// left there, and the section is written back whole.

namespace {

const char *const rename_section = "rename";

// The largest section these systems read or write through the profile functions.
#define SECTION_SIZE 32768

struct section_text {
    char *text;   // strings each ended by a terminator; the list ends with an empty string
    DWORD used;   // bytes of the strings, not counting the list's final terminator
};

int section_holds_line(const section_text *section, const char *line) {
    for (DWORD at = 0; at < section->used; at += (DWORD)strlen(section->text + at) + 1) {
        if (mb_equal_nocase(section->text + at, line)) return 1;
    }
    return 0;
}

// Adds `line` unless it is there already; 0 when it does not fit into the section.
int add_line(section_text *section, const char *line) {
    if (section_holds_line(section, line)) return 1;
    DWORD length = (DWORD)strlen(line) + 1;
    if (section->used + length + 1 > SECTION_SIZE) return 0;
    memcpy(section->text + section->used, line, length);
    section->used += length;
    section->text[section->used] = '\0';
    return 1;
}

// The line NUL=<short path> for one leftover; 0 when the file has gone or its short form
// does not fit (it is then left alone rather than written cut).
int deletion_line(const char *path, char *line, size_t size) {
    char short_path[PATH_SIZE];
    DWORD length = GetShortPathNameA(path, short_path, sizeof short_path);
    if (length == 0 || length >= sizeof short_path) return 0;
    return text_join(line, size, "NUL", "=", short_path);
}

// Logs every path of the list that still exists as not handed over; returns their count.
int refuse_all(const string_list_entry *restart_list, const char *reason) {
    int not_handed = 0;
    for (const string_list_entry *entry = restart_list; entry; entry = entry->next) {
        if (GetFileAttributesA(entry->text) == INVALID_FILE_ATTRIBUTES) continue;
        log_line("hand %s to the restart: failed (%s)", entry->text, reason);
        ++not_handed;
    }
    return not_handed;
}

}  // namespace

int schedule_wininit_renames(const string_list_entry *restart_list) {
    if (!restart_list) return 0;
    char windows_dir[PATH_SIZE];
    UINT length = GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
    char profile_path[PATH_SIZE];
    if (length == 0 || length >= sizeof windows_dir ||
        !text_join(profile_path, sizeof profile_path, windows_dir, "\\", "wininit.ini"))
        return refuse_all(restart_list, "no path for wininit.ini");

    section_text section;
    section.text = (char *)calloc(SECTION_SIZE, 1);
    if (!section.text) return refuse_all(restart_list, "out of memory");
    section.used = GetPrivateProfileSectionA(rename_section, section.text, SECTION_SIZE,
                                             profile_path);
    // A section that fills the buffer may hold more than was read: writing it back would
    // lose the lines beyond, so it is left as it is.
    if (section.used >= SECTION_SIZE - 2) {
        free(section.text);
        return refuse_all(restart_list, "the [rename] section of wininit.ini is full");
    }
    section.text[section.used] = '\0';

    int added = 0;
    int not_handed = 0;
    char line[PATH_SIZE + 8];
    for (const string_list_entry *entry = restart_list; entry; entry = entry->next) {
        // The start refuses to delete a read-only file; other attributes do not matter.
        DWORD attributes = GetFileAttributesA(entry->text);
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;  // gone meanwhile
        if (attributes & FILE_ATTRIBUTE_READONLY)
            SetFileAttributesA(entry->text, FILE_ATTRIBUTE_NORMAL);
        if (!deletion_line(entry->text, line, sizeof line) || !add_line(&section, line)) {
            log_line("hand %s to the restart: failed (no wininit.ini line for it)", entry->text);
            ++not_handed;
            continue;
        }
        log_line("hand %s to the restart: wininit.ini line %s", entry->text, line);
        added = 1;
    }
    // Nothing to hand over leaves the file as it is: a wininit.ini without lines could outlive
    // the restart (Wine's start leaves such a file in place).
    if (added) {
        HANDLE created = CreateFileA(profile_path, 0, 0, 0, CREATE_NEW, 0, 0);
        if (created != INVALID_HANDLE_VALUE) CloseHandle(created);
        if (!WritePrivateProfileSectionA(rename_section, section.text, profile_path)) {
            free(section.text);
            return refuse_all(restart_list, "wininit.ini could not be written");
        }
        // Windows 98/ME keep profile files cached; this writes the cache out at once.
        WritePrivateProfileStringA(0, 0, 0, profile_path);
    }
    free(section.text);
    return not_handed;
}
