// FindFirstFileW and FindNextFileW: the entries' true names and their 8.3 names in Unicode.
#include "files_wide_api.h"

#include "code_page.h"
#include "file_search.h"
#include "system_api.h"
#include "wow64_view.h"

using namespace sim;

namespace {

void copy_wide(const std::u16string &text, WCHAR *out, size_t capacity) {
    size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    for (size_t i = 0; i < n; ++i) out[i] = text[i];
    out[n] = 0;
}

WIN32_FIND_DATAW find_data(const std::u16string &name, const FileNode *node) {
    WIN32_FIND_DATAW d = {};
    d.dwFileAttributes = node ? node->attributes : FILE_ATTRIBUTE_DIRECTORY;
    if (node && !node->is_dir) d.nFileSizeLow = (DWORD)node->content.size();
    copy_wide(name, d.cFileName, MAX_PATH);
    std::u16string alternate;
    if (node && !node->short_name.empty()) ansi_to_unicode(node->short_name, &alternate);
    copy_wide(alternate, d.cAlternateFileName, 14);
    return d;
}

bool unicode_functions_exist() {
    if (current_machine().is_nt()) return true;
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return false;
}

}  // namespace

HANDLE WINAPI FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
    std::u16string wide = wide_text(pattern);
    record_call("FindFirstFileW", unicode_to_utf8(wide));
    if (!unicode_functions_exist()) return INVALID_HANDLE_VALUE;
    if (!data) return SetLastError(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    // The simulated folders on the way have names the code page holds.
    std::vector<const FileNode *> children;
    std::vector<std::string> dots;
    if (!search_entries(file_view(unicode_to_ansi(wide)), &children, &dots))
        return INVALID_HANDLE_VALUE;
    DWORD error;
    if (current_machine().take_fault("FindFirstFileW", unicode_to_ansi(wide), &error))
        return SetLastError(error), INVALID_HANDLE_VALUE;
    Search search;
    for (const std::string &dot : dots) search.wide.push_back(find_data(utf8_to_unicode(dot), nullptr));
    for (const FileNode *child : children) search.wide.push_back(find_data(true_name(child), child));
    if (search.wide.empty()) return SetLastError(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
    *data = search.wide[0];
    search.next = 1;
    return add_search(search);
}

BOOL WINAPI FindNextFileW(HANDLE handle, LPWIN32_FIND_DATAW data) {
    record_call("FindNextFileW", "");
    if (!unicode_functions_exist()) return FALSE;
    Search *s = find_search(handle);
    if (!s || !data) return SetLastError(ERROR_INVALID_HANDLE), FALSE;
    if (s->next >= s->wide.size()) return SetLastError(ERROR_NO_MORE_FILES), FALSE;
    *data = s->wide[s->next++];
    return TRUE;
}
