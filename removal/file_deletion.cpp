#include "removal/file_deletion.h"

#include "platform/win32.h"

int is_not_there_error(unsigned long error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Only a refused deletion has the file's attributes cleared (a read-only file) and is tried
// again: each call looks the path up, and most files are plain.
int delete_file_now(const char *path) {
    if (DeleteFileA(path)) return 1;
    if (GetLastError() != ERROR_ACCESS_DENIED) return 0;
    if (!SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL)) return 0;
    return DeleteFileA(path) ? 1 : 0;
}
