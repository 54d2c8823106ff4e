#include "path_parts.h"

#include "mbcs.h"

namespace sim {

std::vector<std::string> split_path(const std::string &path) {
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i < path.size(); i += char_length(path.c_str() + i)) {
        size_t n = char_length(path.c_str() + i);
        if (n == 1 && path[i] == '\\') {
            parts.push_back(part);
            part.clear();
        } else {
            part.append(path, i, n);
        }
    }
    parts.push_back(part);
    return parts;
}

}  // namespace sim
