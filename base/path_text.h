// What a path text says about where it points, read as Win32 reads it.
#ifndef K440_BASE_PATH_TEXT_H
#define K440_BASE_PATH_TEXT_H

#include "base/mbtext.h"

// 1 for "X:\..." with a drive letter X: a path that does not depend on the current folder or
// the current folder of a drive.
inline int starts_at_a_drive_root(const char *path) {
    char letter = path[0];
    int is_letter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    return is_letter && path[1] == ':' && path[2] == '\\';
}

// 1 for a file name without any folder part, drive or "."/".." that would lead the path it
// is joined into out of its folder.
inline int is_bare_file_name(const char *name) {
    if (!name[0] || (name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2])))) return 0;
    return !mb_find_char(name, '\\') && !mb_find_char(name, '/') && !mb_find_char(name, ':');
}

// 1 when Win32 reads the path text as it is written: no "." or ".." part, no part ending in a
// dot or a blank, no '/', no device prefix and no character that Windows keeps out of names.
// A path that fails this names another file or folder than its text seems to.
int reads_as_written(const char *path);

#endif
