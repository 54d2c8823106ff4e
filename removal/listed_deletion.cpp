#include "removal/listed_deletion.h"

#include "base/registry_view.h"
#include "base/run_log.h"
#include "platform/win32.h"
#include "removal/file_deletion.h"
#include "removal/registry_deletion.h"

const char *const legacy_driver_index_files[] = {"inf\\drvidx.bin", "inf\\drvdata.bin", 0};

namespace {

// Logs a failed deletion of something still there; returns 1 (left in place).
int log_left(const char *kind, const char *name, DWORD error) {
    char failure[FAILURE_TEXT_SIZE];
    log_line("delete %s %s: %s, left in place", kind, name, failure_text(error, failure));
    return 1;
}

}  // namespace

int key_is_present(const char *key_path) {
    HKEY key;
    LONG rc = open_machine_key(key_path, KEY_READ, &key);
    if (rc == ERROR_SUCCESS) RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_ACCESS_DENIED;
}

int value_is_present(const char *key_path, const char *value_name) {
    HKEY key;
    LONG rc = open_machine_key(key_path, KEY_QUERY_VALUE, &key);
    if (rc == ERROR_ACCESS_DENIED) return 1;
    if (rc != ERROR_SUCCESS) return 0;
    rc = RegQueryValueExA(key, value_name, 0, 0, 0, 0);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA;
}

int delete_listed_key(const char *key_path) {
    if (delete_key_tree(key_path)) {
        log_line("delete key %s: removed", key_path);
        return 0;
    }
    DWORD error = GetLastError();
    if (!key_is_present(key_path)) {
        log_line("delete key %s: not there", key_path);
        return 0;
    }
    return log_left("key", key_path, error);
}

int delete_listed_value(const char *key_path, const char *value_name) {
    if (reg_delete_value_forced(key_path, value_name)) {
        log_line("delete value %s\\%s: removed", key_path, value_name);
        return 0;
    }
    DWORD error = GetLastError();
    if (!value_is_present(key_path, value_name)) {
        log_line("delete value %s\\%s: not there", key_path, value_name);
        return 0;
    }
    char failure[FAILURE_TEXT_SIZE];
    log_line("delete value %s\\%s: %s, left in place", key_path, value_name,
             failure_text(error, failure));
    return 1;
}

int delete_listed_file(const char *path, string_list_entry **restart_list) {
    if (delete_file_now(path)) {
        log_line("delete file %s: removed", path);
        return 0;
    }
    DWORD error = GetLastError();
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        log_line("delete file %s: not there", path);
        return 0;
    }
    // A folder of a listed file's name is not the product's file.
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return log_left("file", path, error);
    if (!string_list_holds(*restart_list, path) && !push_string(restart_list, path))
        return log_left("file", path, error);
    char failure[FAILURE_TEXT_SIZE];
    log_line("delete file %s: %s, handed to the restart", path, failure_text(error, failure));
    return 0;
}
