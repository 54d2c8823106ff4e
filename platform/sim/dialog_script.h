// The dialog templates of a resource script (.rc), read as the resource compiler reads its
// DIALOG statements: the simulated machine shows the dialogs the built program carries, taken
// from the same script the Windows build compiles.
#ifndef K440_SIM_DIALOG_SCRIPT_H
#define K440_SIM_DIALOG_SCRIPT_H

#include <map>
#include <string>

#include "machine.h"

namespace sim {

// Reads every DIALOG statement of the script at `path`. Ids given by name resolve through the
// script's #define lines and those of the files it includes by quoted name (found beside the
// script); style names are the platform's (windows.h). Whatever the reader does not know
// fails the whole script with `error` naming the file and line: a template never comes out
// partial.
bool read_dialog_script(const std::string &path, std::map<int, DialogTemplate> *templates,
                        std::string *error);

// The same for a script's text; `folder` is where its quoted includes are found.
bool parse_dialog_script(const std::string &text, const std::string &folder,
                         std::map<int, DialogTemplate> *templates, std::string *error);

}  // namespace sim

#endif
