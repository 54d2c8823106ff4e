#include "wildcard.h"

#include "mbcs.h"

namespace sim {

namespace {

bool match_from(const std::string &p, size_t pi, const std::string &n, size_t ni) {
    while (pi < p.size()) {
        if (p[pi] == '*') {
            for (size_t k = ni; k <= n.size(); ++k)
                if (match_from(p, pi + 1, n, k)) return true;
            return false;
        }
        if (ni >= n.size()) return false;
        size_t step = char_length(n.c_str() + ni);
        if (p[pi] == '?') {
            pi += 1;
            ni += step;
            continue;
        }
        size_t pstep = char_length(p.c_str() + pi);
        if (!equal_nocase(p.substr(pi, pstep), n.substr(ni, step))) return false;
        pi += pstep;
        ni += step;
    }
    return ni == n.size();
}

}  // namespace

bool wildcard_match(const std::string &pattern, const std::string &name) {
    if (pattern == "*" || pattern == "*.*") return true;
    if (match_from(pattern, 0, name, 0)) return true;
    if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
        name.find('.') == std::string::npos)
        return match_from(pattern.substr(0, pattern.size() - 2), 0, name, 0);
    return false;
}

}  // namespace sim
