#include "removal/file_deletion.h"

#include "platform/win32.h"

int is_not_there_error(unsigned long error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// A path that is not there fails the attribute change already; DeleteFileA would only look
// it up again.
int delete_file_now(const char *path) {
    if (!SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL) && is_not_there_error(GetLastError()))
        return 0;
    return DeleteFileA(path) ? 1 : 0;
}
