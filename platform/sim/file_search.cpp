#include "file_search.h"

#include <map>

#include "code_page.h"
#include "mbcs.h"
#include "system_api.h"
#include "wildcard.h"

namespace sim {

namespace {

std::map<uintptr_t, Search> g_searches;

// The platform matches the mask against the true name; ASCII letters match either case.
bool unicode_match(const std::u16string &mask, size_t mi, const std::u16string &name, size_t ni) {
    auto folded = [](char16_t c) { return (c >= 'A' && c <= 'Z') ? (char16_t)(c + 32) : c; };
    while (mi < mask.size()) {
        if (mask[mi] == '*') {
            for (size_t k = ni; k <= name.size(); ++k)
                if (unicode_match(mask, mi + 1, name, k)) return true;
            return false;
        }
        if (ni >= name.size()) return false;
        if (mask[mi] != '?' && folded(mask[mi]) != folded(name[ni])) return false;
        ++mi;
        ++ni;
    }
    return ni == name.size();
}

bool foreign_name_matches(const std::string &mask, const FileNode *node) {
    std::u16string wide_mask;
    ansi_to_unicode(mask, &wide_mask);
    if (mask == "*" || mask == "*.*") return true;
    if (unicode_match(wide_mask, 0, node->unicode_name, 0)) return true;
    if (wide_mask.size() >= 2 && wide_mask.compare(wide_mask.size() - 2, 2, u".*") == 0 &&
        node->unicode_name.find(u'.') == std::u16string::npos)
        return unicode_match(wide_mask.substr(0, wide_mask.size() - 2), 0, node->unicode_name, 0);
    return false;
}

}  // namespace

std::u16string true_name(const FileNode *node) {
    if (node->has_foreign_name()) return node->unicode_name;
    std::u16string wide;
    ansi_to_unicode(node->name, &wide);
    return wide;
}

bool search_entries(const std::string &pattern, std::vector<const FileNode *> *entries,
                    std::vector<std::string> *dot_entries) {
    size_t slash = last_separator(pattern);
    if (slash == std::string::npos) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::string dir_path = pattern.substr(0, slash);
    std::string mask = pattern.substr(slash + 1);
    FileNode *dir = current_machine().files.find(dir_path.size() == 2 ? dir_path + "\\" : dir_path);
    if (!dir || !dir->is_dir) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    if (dir->parent) {
        if (wildcard_match(mask, ".")) dot_entries->push_back(".");
        if (wildcard_match(mask, "..")) dot_entries->push_back("..");
    }
    for (const auto &child : dir->children) {
        bool long_name = child->has_foreign_name() ? foreign_name_matches(mask, child.get())
                                                   : wildcard_match(mask, child->name);
        if (long_name || (!child->short_name.empty() && wildcard_match(mask, child->short_name)))
            entries->push_back(child.get());
    }
    return true;
}

HANDLE add_search(const Search &search) {
    uintptr_t number = new_handle_number();
    g_searches[number] = search;
    ++current_process().open_handles;
    return reinterpret_cast<HANDLE>(number);
}

Search *find_search(HANDLE handle) {
    auto it = g_searches.find(reinterpret_cast<uintptr_t>(handle));
    return it == g_searches.end() ? nullptr : &it->second;
}

bool end_search(HANDLE handle) {
    auto it = g_searches.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_searches.end()) return false;
    g_searches.erase(it);
    --current_process().open_handles;
    return true;
}

}  // namespace sim
