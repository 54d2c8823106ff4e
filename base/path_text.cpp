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

// Win32 reads these names, with any extension, as devices in every folder.
int is_device_name(const char *name) {
    static const char *const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", 0};
    size_t length = 0;
    while (name[length] && name[length] != '.') ++length;
    while (length > 0 && name[length - 1] == ' ') --length;
    char base[8];
    if (length >= sizeof base) return 0;
    for (size_t i = 0; i < length; ++i)
        base[i] = (name[i] >= 'a' && name[i] <= 'z') ? (char)(name[i] - 32) : name[i];
    base[length] = '\0';
    for (int i = 0; devices[i]; ++i)
        if (strcmp(base, devices[i]) == 0) return 1;
    int numbered = length == 4 && (strncmp(base, "COM", 3) == 0 || strncmp(base, "LPT", 3) == 0);
    return numbered && base[3] >= '1' && base[3] <= '9';
}

}  // namespace

int is_bare_file_name(const char *name) {
    if (!name[0] || (name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2])))) return 0;
    for (const char *c = name; *c; ++c)
        if ((unsigned char)*c < 0x20) return 0;  // never a trail byte
    for (const char *c = "\\/:*?<>\"|"; *c; ++c)
        if (mb_find_char(name, (unsigned char)*c)) return 0;
    size_t length = strlen(name);
    // Neither byte is ever the trail byte of a double-byte character.
    if (name[length - 1] == '.' || name[length - 1] == ' ') return 0;
    return !is_device_name(name);
}

int names_a_device(const char *path) {
    const char *c = path;
    int slashes = 0;
    while (slashes < 2 && (*c == '\\' || *c == '/')) ++slashes, ++c;
    // "\\.\", "\\?\" and "\??\" (with either slash) pass the path on to the device namespace.
    if ((slashes == 2 && (c[0] == '.' || c[0] == '?') && (c[1] == '\\' || c[1] == '/')) ||
        (slashes == 1 && c[0] == '?' && c[1] == '?' && (c[2] == '\\' || c[2] == '/')))
        return 1;
    for (const char *part = path; part;) {
        const char *backslash = mb_find_char(part, '\\');
        const char *slash = strchr(part, '/');  // never a trail byte
        const char *next = backslash && (!slash || backslash < slash) ? backslash : slash;
        size_t length = next ? (size_t)(next - part) : strlen(part);
        char name[16];
        if (length > 0 && length < sizeof name) {
            memcpy(name, part, length);
            name[length] = '\0';
            // A drive ("C:") or a stream ("CON:") ends the name at its colon as Win32 reads it.
            char *colon = strchr(name, ':');
            if (colon) *colon = '\0';
            if (is_device_name(name)) return 1;
        }
        part = next ? next + 1 : 0;
    }
    return 0;
}

int reads_as_written(const char *path) {
    return !has_rewritten_part(path) && !has_foreign_character(path);
}
