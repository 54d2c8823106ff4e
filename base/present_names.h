// Which of a few file names a folder holds, found with one listing: under Wine a lookup of a
// name that is not there reads the whole folder, and a system folder holds thousands of
// entries, so a run lists each folder once instead of looking up each name it might hold.
#ifndef K440_BASE_PRESENT_NAMES_H
#define K440_BASE_PRESENT_NAMES_H

#include "base/string_list.h"

// The names of `names` (bare file names) that the folder's listing holds, files and folders
// alike, as spelt in `names`. The folder is listed with "<the ASCII letters and digits every
// name begins with>*", so that the listing hands out the product's few entries only. 0 for a
// folder that cannot be listed.
string_list_entry *present_names(const char *folder, const string_list_entry *names);

#endif
