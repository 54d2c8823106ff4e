// The searches of FindFirstFileA/W, shared by the ANSI and the Unicode listing functions.
#ifndef K440_SIM_FILE_SEARCH_H
#define K440_SIM_FILE_SEARCH_H

#include <string>
#include <vector>

#include "files_wide_api.h"
#include "machine.h"

namespace sim {

struct Search {
    std::vector<WIN32_FIND_DATAA> narrow;
    std::vector<WIN32_FIND_DATAW> wide;
    size_t next = 0;
};

// The entries of the folder a search pattern names whose long or 8.3 name matches its mask,
// in the folder's order, after "." and ".." for a folder below a root (nullptr for those).
// False (with the last error set) when the folder does not exist.
bool search_entries(const std::string &pattern, std::vector<const FileNode *> *entries,
                    std::vector<std::string> *dot_entries);
// The entry's true name: its ANSI name read as Unicode, or its foreign name.
std::u16string true_name(const FileNode *node);

HANDLE add_search(const Search &search);
Search *find_search(HANDLE handle);
bool end_search(HANDLE handle);

}  // namespace sim

#endif
