// Folder listings whose names become paths, over entries with arbitrary Unicode names (the
// NT family's file names, of which the ANSI functions hand back best-fit forms) with or
// without 8.3 names. Every name handed on must be a plain name that, joined to the folder,
// reaches the very entry it was listed for, by its true name or its 8.3 name.
//
// Input: pairs of bytes are UTF-16 units; a unit 0 ends one entry's name, and the byte after
// it says whether the entry has an 8.3 name.
#include <cstring>
#include <string>
#include <vector>

#include "base/folder_listing.h"
#include "base/path_text.h"
#include "fuzz_machine.h"
#include "sim/code_page.h"

namespace {

const char kFolder[] = "C:\\F";

struct visit_check {
    sim::Machine *machine;
};

std::u16string true_name_of(const sim::FileNode *node) {
    if (node->has_foreign_name()) return node->unicode_name;
    std::u16string wide;
    sim::ansi_to_unicode(node->name, &wide);
    return wide;
}

std::u16string folded(std::u16string text) {
    for (char16_t &c : text)
        if (c >= 'a' && c <= 'z') c = (char16_t)(c - 32);
    return text;
}

bool folder_holds(const sim::FileNode *folder, const std::u16string &name) {
    for (const auto &child : folder->children)
        if (folded(true_name_of(child.get())) == folded(name)) return true;
    return false;
}

void check_entry(const char *name, DWORD, int is_short_name, void *context) {
    sim::Machine &machine = *((visit_check *)context)->machine;
    if (!is_bare_file_name(name)) __builtin_trap();
    const sim::FileNode *folder = machine.files.find(kFolder);
    const sim::FileNode *reached = machine.files.find(std::string(kFolder) + "\\" + name);
    if (!reached || reached->parent != folder) __builtin_trap();
    if (is_short_name) {
        if (reached->short_name != name) __builtin_trap();
    } else {
        // The name read back as Unicode is the reached entry's true name, not a look-alike.
        std::u16string read;
        if (!sim::ansi_to_unicode(name, &read) || read != true_name_of(reached)) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    sim::Machine &machine = fresh_fuzz_machine();
    machine.files.make_dir(kFolder);
    std::u16string name;
    int serial = 0;
    for (size_t i = 0; i + 1 < size && serial < 16; i += 2) {
        char16_t unit = (char16_t)(data[i] | data[i + 1] << 8);
        if (unit != 0) {
            if (name.size() < 40) name.push_back(unit);
            continue;
        }
        bool has_short = i + 2 < size && (data[i + 2] & 1);
        std::string short_name = has_short ? "ENTRY~" + std::to_string(++serial) : "";
        // A volume holds no "." or "..", no name with a separator and no two equal names.
        bool bad = name.empty() || name == u"." || name == u".." ||
                   folded(name).compare(0, 6, u"ENTRY~") == 0 ||
                   name.find(u'\\') != std::u16string::npos || name.find(u'/') != std::u16string::npos;
        if (!bad && !folder_holds(machine.files.find(kFolder), name))
            machine.files.write_unicode_file(kFolder, name, short_name, "x");
        name.clear();
    }
    visit_check check = {&machine};
    list_folder(kFolder, "*", check_entry, &check);
    return 0;
}
