#include "base/folder_listing.h"

#include "base/path_text.h"
#include "base/run_record.h"
#include "base/text_buffer.h"
#include "base/unicode_text.h"

namespace {

typedef HANDLE(WINAPI *find_first_wide)(LPCWSTR, LPWIN32_FIND_DATAW);
typedef BOOL(WINAPI *find_next_wide)(HANDLE, LPWIN32_FIND_DATAW);

enum { NOT_LISTED = 0, LISTED = 1, NO_UNICODE_LISTING = 2 };

void visit_wide_entry(const WIN32_FIND_DATAW *found, listed_entry_visitor visit, void *context) {
    char name[MAX_PATH];
    if (exact_ansi_form(found->cFileName, name, sizeof name) && is_bare_file_name(name)) {
        visit(name, found->dwFileAttributes, 0, context);
        return;
    }
    if (found->cAlternateFileName[0] &&
        exact_ansi_form(found->cAlternateFileName, name, sizeof name) && is_bare_file_name(name))
        visit(name, found->dwFileAttributes, 1, context);
}

int list_wide(const char *search, listed_entry_visitor visit, void *context) {
    find_first_wide first =
        reinterpret_cast<find_first_wide>(system_function("kernel32.dll", "FindFirstFileW"));
    find_next_wide next =
        reinterpret_cast<find_next_wide>(system_function("kernel32.dll", "FindNextFileW"));
    if (!first || !next) return NO_UNICODE_LISTING;
    WCHAR wide_search[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, search, -1, wide_search, MAX_PATH))
        return NOT_LISTED;
    WIN32_FIND_DATAW found;
    HANDLE listing = first(wide_search, &found);
    if (listing == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_CALL_NOT_IMPLEMENTED ? NO_UNICODE_LISTING : NOT_LISTED;
    do {
        visit_wide_entry(&found, visit, context);
    } while (next(listing, &found));
    FindClose(listing);
    return LISTED;
}

// Windows 98/ME: the 8.3 name is the entry's own directory record on its FAT volume.
int list_narrow(const char *search, listed_entry_visitor visit, void *context) {
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA(search, &found);
    if (listing == INVALID_HANDLE_VALUE) return NOT_LISTED;
    do {
        if (is_bare_file_name(found.cFileName))
            visit(found.cFileName, found.dwFileAttributes, 0, context);
        else if (found.cAlternateFileName[0] && is_bare_file_name(found.cAlternateFileName))
            visit(found.cAlternateFileName, found.dwFileAttributes, 1, context);
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
    return LISTED;
}

}  // namespace

int list_folder(const char *folder, const char *pattern, listed_entry_visitor visit,
                void *context) {
    char search[PATH_SIZE];
    if (!text_join(search, sizeof search, folder, "\\", pattern)) return 0;
    int listed = list_wide(search, visit, context);
    if (listed == NO_UNICODE_LISTING) listed = list_narrow(search, visit, context);
    return listed == LISTED;
}
