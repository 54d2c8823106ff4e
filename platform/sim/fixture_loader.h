// Machines as text fixtures: the registry as a .reg file (REGEDIT4 or "Windows Registry Editor
// Version 5.00") and the files as a list, the same fixture that the end-to-end harness plants
// into a Wine prefix.
//
// File list: one entry a line, fields separated by tabs:
//   <attributes> <path> [<content>]
// attributes: "-" or letters R (read-only), H (hidden), S (system), D (folder), U (in use);
// content: text with \n and \t escapes, or "@name" for the bytes of the file `name` beside
// the list. Lines starting with "#" are comments.
#ifndef K440_SIM_FIXTURE_LOADER_H
#define K440_SIM_FIXTURE_LOADER_H

#include <string>

#include "machine.h"

namespace sim {

bool load_reg_text(Registry &registry, const std::string &text, std::string *error);
bool load_reg_file(Registry &registry, const std::string &path, std::string *error);
bool load_file_list(FileSystem &files, const std::string &path, std::string *error);
// Loads <dir>/registry.reg and <dir>/files.txt, each when present.
bool load_machine(Machine &machine, const std::string &dir, std::string *error);

// Every key and value of the registry, one line each, in a stable order: for comparing a
// machine before and after a run.
std::string export_registry(const Registry &registry);
// Every file and folder with its attributes and a digest of its content.
std::string export_files(const FileSystem &files);

bool read_text_file(const std::string &path, std::string *text);

}  // namespace sim

#endif
