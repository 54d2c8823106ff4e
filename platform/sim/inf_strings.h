// %key% substitution as SetupAPI does it when a field is read: a key of [Strings] (compared
// without regard to case, as written) gives that line's first field as written; "%%" gives
// "%"; a number gives the folder of that directory id (10 the Windows folder, 11 system32, 12
// the drivers folder, 17 the INF folder, 24 the root of the Windows drive, 1 the INF file's
// own folder), without its final backslash when a backslash follows; anything else, and an
// unclosed "%", stays as written.
#ifndef K440_SIM_INF_STRINGS_H
#define K440_SIM_INF_STRINGS_H

#include <string>

#include "inf_parser.h"

namespace sim {

struct InfSource {
    const InfFile *inf;
    std::string path;         // the INF file's full path
    std::string windows_dir;  // of the machine
};

std::string inf_substitute(const InfSource &source, const std::string &text);

}  // namespace sim

#endif
