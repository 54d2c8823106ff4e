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

// 1 for a plain name as Win32 reads it: a name that, joined to a folder, names an entry of
// that folder and nothing else. Refused: "." and "..", a folder part, drive or stream (\ /
// :), wildcards (* ? < > "), '|', control characters, a trailing dot or blank (which Win32
// trims, making the name another's) and device names (CON, NUL, COM1, LPT1.txt, ...).
int is_bare_file_name(const char *name);

// 1 when Win32 opens a device for the path rather than a file: a path in the device
// namespaces ("\\.\PhysicalDrive0", "\\?\...", "\??\...", with either slash) or one with a
// part that is a device name in any folder ("C:\logs\CON", "nul.txt", "LPT1:").
int names_a_device(const char *path);

// 1 when Win32 reads the path text as it is written: no "." or ".." part, no part ending in a
// dot or a blank, no '/', no device prefix and no character that Windows keeps out of names.
// A path that fails this names another file or folder than its text seems to.
int reads_as_written(const char *path);

#endif
