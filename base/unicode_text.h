// Texts that the NT family keeps in Unicode (file names, registry data) and the program
// handles in the ANSI code page. The ANSI functions convert with the code page's best-fit
// table, so a character the code page lacks comes back as a look-alike: under code page 932
// U+00A5 (YEN SIGN) as a backslash, e-acute as "e". Such a text names another file or folder
// than the one it was read from; these tests tell when the ANSI form is the text itself.
#ifndef K440_BASE_UNICODE_TEXT_H
#define K440_BASE_UNICODE_TEXT_H

#include <stddef.h>

#include "platform/win32.h"

// 1 when the ANSI text, read as the ANSI functions read it, is exactly the `length`
// characters of `wide`.
int ansi_reads_as(const char *text, const WCHAR *wide, size_t length);

// The ANSI form of a terminated Unicode text in `buffer` of `size` bytes; 0 (buffer empty)
// when it does not fit or is not exact.
int exact_ansi_form(const WCHAR *wide, char *buffer, size_t size);

// A function that not every served Windows exports, looked up at run time in a module the
// program has loaded; 0 when the module or the function is missing.
typedef void (*any_function)(void);
any_function system_function(const char *module, const char *name);

#endif
