// Helpers for the Windows 98/ME inventory tests: a record on Windows 98 with the profile's
// device names and ids, and readers of the lists it fills.
#ifndef K440_TESTS_LEGACY_INVENTORY_SUPPORT_H
#define K440_TESTS_LEGACY_INVENTORY_SUPPORT_H

#include <algorithm>
#include <string>
#include <vector>

#include "base/run_record.h"
#include "base/string_list.h"

// The texts of a list from its head.
inline std::vector<std::string> texts_of(const string_list_entry *list) {
    std::vector<std::string> out;
    for (; list; list = list->next) out.push_back(list->text);
    return out;
}

// A list holding `texts` in the given order from its head.
inline string_list_entry *list_of(const std::vector<std::string> &texts) {
    string_list_entry *list = 0;
    for (auto it = texts.rbegin(); it != texts.rend(); ++it) push_string(&list, it->c_str());
    return list;
}

typedef std::vector<std::string> strings;

inline strings sorted(strings texts) {
    std::sort(texts.begin(), texts.end());
    return texts;
}

#endif
