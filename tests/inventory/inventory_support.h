// Helpers of the inventory tests: lists as vectors, head first.
#ifndef K440_TESTS_INVENTORY_SUPPORT_H
#define K440_TESTS_INVENTORY_SUPPORT_H

#include <string>
#include <vector>

#include "base/string_list.h"

inline std::vector<std::string> texts(const string_list_entry *list) {
    std::vector<std::string> out;
    for (; list; list = list->next) out.push_back(list->text);
    return out;
}

#endif
