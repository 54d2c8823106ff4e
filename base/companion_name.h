// The pair of programs: K440dTUn.exe (32-bit) and its companion K440dTUn64.exe (x86-64), in
// the same folder. The companion's name is the program's with "64" before the extension.
#ifndef K440_BASE_COMPANION_NAME_H
#define K440_BASE_COMPANION_NAME_H

#include <stddef.h>

// The companion's path for the program at `program_path`. 0 (buffer empty) when it does
// not fit `size` bytes.
int companion_path_of(const char *program_path, char *buffer, size_t size);

// The 32-bit program's path for the companion at `companion_path`: the name without the "64"
// before its extension. 0 (buffer empty) when the name has no such "64".
int program_path_of(const char *companion_path, char *buffer, size_t size);

#endif
