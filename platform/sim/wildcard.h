// File-name patterns with "*" and "?" as FindFirstFileA reads them.
#ifndef K440_SIM_WILDCARD_H
#define K440_SIM_WILDCARD_H

#include <string>

namespace sim {

// True when `name` matches `pattern`, without regard to case. "*.*" matches every name, and a
// pattern ending in ".*" also matches a name without any dot, as on Windows.
bool wildcard_match(const std::string &pattern, const std::string &name);

}  // namespace sim

#endif
