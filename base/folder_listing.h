// Folder listings whose names are joined into paths. A listing hands out only names that name
// their own entry and nothing else: a plain name as Win32 reads it (is_bare_file_name), whose
// ANSI form is the entry's true name. On the NT family the folder is listed in Unicode and an
// entry whose name the ANSI code page cannot hold exactly (the ANSI listing would hand back a
// best-fit look-alike: "..\..\x" for "..¥..¥x") is reached through its 8.3 name when that
// one is exact and plain, and is otherwise left out. Windows 98/ME has no Unicode listing;
// there the ANSI names pass the same plain-name test.
#ifndef K440_BASE_FOLDER_LISTING_H
#define K440_BASE_FOLDER_LISTING_H

#include "platform/win32.h"

// Called for each entry; `is_short_name` is 1 when `name` is the entry's 8.3 name.
typedef void (*listed_entry_visitor)(const char *name, DWORD attributes, int is_short_name,
                                     void *context);

// Lists folder + "\" + pattern. 1 when the listing ran, 0 when it could not be started.
int list_folder(const char *folder, const char *pattern, listed_entry_visitor visit,
                void *context);

#endif
