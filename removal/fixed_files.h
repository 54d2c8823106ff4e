// The profile's fixed list names the product's files wherever they stood on any system it
// served, so most of its paths are not there on a given machine. Each folder of the list is
// listed once and the names looked up in that listing, rather than one lookup per path: under
// Wine a lookup of a name that is not there reads the whole folder, and the INF folder holds
// hundreds of files.
#ifndef K440_REMOVAL_FIXED_FILES_H
#define K440_REMOVAL_FIXED_FILES_H

#include "base/profile.h"
#include "base/string_list.h"

// The paths of the list whose entry is in its folder's listing (files and folders alike), in
// no particular order; a folder that cannot be listed holds none.
string_list_entry *present_fixed_files(text_list fixed);

#endif
