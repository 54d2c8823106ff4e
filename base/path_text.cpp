#include "base/path_text.h"

#include <string.h>

namespace {

// A part that Win32 rewrites before the file system sees it makes the path name another place
// than it reads as: "." and ".." ("...\K440dT\..\.." is two folders up), and a part ending in
// a dot or a blank, which Win32 trims ("C:\WINDOWS.\system32" is the system folder).
// Windows keeps no file or folder of such a name, so refusing it loses nothing real.
int has_rewritten_part(const char *path) {
    for (const char *part = path; part;) {
        const char *next = mb_find_char(part, '\\');
        size_t length = next ? (size_t)(next - part) : strlen(part);
        // Neither byte is ever the trail byte of a double-byte character.
        if (length > 0 && (part[length - 1] == '.' || part[length - 1] == ' ')) return 1;
        part = next ? next + 1 : 0;
    }
    return 0;
}

// A character that Windows never keeps in a name, or '/' that Win32 reads as a backslash,
// makes the text name another place than it reads as (C:\WINDOWS/system32 is the system
// folder, and so is \\?\C:\WINDOWS\system32). A colon belongs only after the drive letter.
int has_foreign_character(const char *path) {
    for (const char *c = path; *c; ++c)
        if ((unsigned char)*c < 0x20) return 1;  // never a trail byte either
    for (const char *c = "/<>\"|?*"; *c; ++c)
        if (mb_find_char(path, (unsigned char)*c)) return 1;
    const char *colon = mb_find_char(path, ':');
    return colon && (colon != path + 1 || mb_find_char(colon + 1, ':'));
}

}  // namespace

int reads_as_written(const char *path) {
    return !has_rewritten_part(path) && !has_foreign_character(path);
}
