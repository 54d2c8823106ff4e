// What a process sees of a 64-bit machine: a 32-bit process runs under WOW64, where the
// platform redirects the system folder and the software part of the registry to their
// 32-bit copies; a 64-bit process sees the machine as it is.
#ifndef K440_SIM_WOW64_VIEW_H
#define K440_SIM_WOW64_VIEW_H

#include <string>

#include "win_types.h"

namespace sim {

// True when the current process is a 32-bit process on a 64-bit machine.
bool current_process_under_wow64();

// The path a file function reaches for `path`: under WOW64 "%windir%\System32" and what lies
// below it is "%windir%\SysWOW64", except the folders Windows exempts (catroot, catroot2,
// drivers\etc, DriverStore, LogFiles, spool); "%windir%\Sysnative" is the real System32.
std::string file_view(const std::string &path);

// The key path below HKEY_LOCAL_MACHINE that an open or create with `desired` reaches:
// "Software\..." in the 32-bit view is "Software\Wow6432Node\...". A 32-bit process on a
// 64-bit machine uses the 32-bit view unless it asks for KEY_WOW64_64KEY; a 64-bit process
// uses it when it asks for KEY_WOW64_32KEY. On 32-bit Windows the flags change nothing.
std::string registry_view(const std::string &path, REGSAM desired);

}  // namespace sim

#endif
