// Backslash paths of the simulated registry and file system taken apart, character by
// character, so that a double-byte character whose trail byte is 0x5C stays in its part.
#ifndef K440_SIM_PATH_PARTS_H
#define K440_SIM_PATH_PARTS_H

#include <string>
#include <vector>

namespace sim {

// The components of a backslash path; empty components are kept so that callers can refuse
// paths such as "A\\B" or "A\".
std::vector<std::string> split_path(const std::string &path);

}  // namespace sim

#endif
