// Subkey names on the NT family, which keeps them in Unicode: only a name whose ANSI form is
// the name itself is listed; a best-fit look-alike (a yen sign read as a backslash, e-acute
// as "e") would reach another key.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/os_class.h"
#include "base/reg_helpers.h"
#include "support/cp932.h"
#include "support/sim_test.h"

namespace {

const char kKey[] = "Software\\N";

struct key_names {
    const char *what;
    std::vector<std::u16string> names;  // planted in this order
    std::vector<std::string> listed;    // in listing order (reversed)
    int all_named;
};

const key_names kNames[] = {
    {"plain names", {u"a", u"b"}, {"b", "a"}, 1},
    {"yen sign beside the key it would alias", {u"Other", u"Other\u00A5K440dT"}, {"Other"}, 0},
    {"e-acute beside the name without it", {u"cafe", u"caf\u00E9"}, {"cafe"}, 0},
    {"only an e-acute name", {u"caf\u00E9"}, {}, 0},
    {"Japanese name the code page holds", {u"\u65E5\u672C"}, {cp932("日本")}, 1},
};

std::vector<std::string> texts(const string_list_entry *list) {
    std::vector<std::string> out;
    for (; list; list = list->next) out.push_back(list->text);
    return out;
}

class RegKeyNames : public SimTest {};

TEST_F(RegKeyNames, NtListsOnlyNamesWhoseAnsiFormIsTheName) {
    for (const key_names &row : kNames) {
        SCOPED_TRACE(row.what);
        machine.registry.remove_tree(kKey);
        for (const std::u16string &name : row.names) machine.registry.create_unicode_key(kKey, name);
        string_list_entry *list = 0;
        int all_named = -1;
        EXPECT_EQ(row.listed.empty() ? 0 : 1, reg_list_named_subkeys(kKey, &list, &all_named));
        EXPECT_EQ(row.listed, texts(list));
        EXPECT_EQ(row.all_named, all_named);
        free_string_list(list);
    }
}

TEST_F(RegKeyNames, Windows98ListsTheAnsiNamesItStores) {
    use_os(OS_WIN98);
    machine.registry.create(std::string(kKey) + "\\a");
    machine.registry.create(std::string(kKey) + "\\" + cp932("日本"));
    string_list_entry *list = 0;
    int all_named = -1;
    EXPECT_EQ(1, reg_list_named_subkeys(kKey, &list, &all_named));
    EXPECT_EQ((std::vector<std::string>{cp932("日本"), "a"}), texts(list));
    EXPECT_EQ(1, all_named);
    EXPECT_FALSE(machine.calls_to("RegEnumKeyExA").empty());
    free_string_list(list);
}

}  // namespace
