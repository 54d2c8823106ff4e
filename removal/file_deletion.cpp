#include "removal/file_deletion.h"

#include "platform/win32.h"

int is_not_there_error(unsigned long error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Most files are plain: they go at the first call, which looks the path up once. Any other
// file that is there has its attributes cleared (read-only, hidden, system) and is tried again,
// so that what stays for the restart stays without them.
int delete_file_now(const char *path) {
    if (DeleteFileA(path)) return 1;
    if (is_not_there_error(GetLastError())) return 0;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path) ? 1 : 0;
}
