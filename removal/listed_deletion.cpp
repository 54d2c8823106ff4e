#include "removal/listed_deletion.h"

#include "base/mbtext.h"
#include "platform/win32.h"
#include "removal/deletion_outcome.h"
#include "removal/file_deletion.h"
#include "removal/filter_references.h"
#include "removal/registry_deletion.h"
#include "removal/service_deletion.h"

const char *const legacy_driver_index_files[] = {"inf\\drvidx.bin", "inf\\drvdata.bin", 0};

namespace {

// A file that exists and cannot be deleted now goes onto *restart_list (once); so does a
// folder when `folders_too`, else a folder of the file's name is left in place.
deletion_outcome delete_file_or_hand_over(const char *path, string_list_entry **restart_list,
                                          int folders_too) {
    if (delete_file_now(path)) return deletion_done();
    DWORD error = GetLastError();
    if (is_not_there_error(error)) return {DELETION_NOT_THERE, 0};
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return {DELETION_NOT_THERE, 0};
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !folders_too) return deletion_failed(error);
    if (!string_list_holds(*restart_list, path) && !push_string(restart_list, path))
        return deletion_failed(error);
    return {DELETION_HANDED_TO_RESTART, error};
}

}  // namespace

int delete_listed_key(const char *key_path) {
    return log_deletion("key", key_path, delete_key_tree(key_path));
}

int delete_listed_value(const char *key_path, const char *value_name) {
    return log_deletion("value", key_path, delete_value_forced(key_path, value_name), value_name);
}

int delete_listed_file(const char *path, string_list_entry **restart_list) {
    return log_deletion("file", path, delete_file_or_hand_over(path, restart_list, 0));
}

int delete_swept_entry(const char *path, string_list_entry **restart_list) {
    return log_deletion("file", path, delete_file_or_hand_over(path, restart_list, 1));
}

string_list_entry *take_filters_of_listed_services(const run_record *record) {
    return take_services_out_of_filters(record, 0);
}

int delete_listed_service(run_record *record, const char *key_path, SC_HANDLE *manager) {
    deletion_outcome outcome = delete_service_key(key_path, service_name_of(key_path), manager);
    if (outcome.result == DELETION_HANDED_TO_RESTART) record->restart_needed = 1;
    return log_deletion("key", key_path, outcome);
}

// A file that is gone names nothing a list could still need; nothing is edited.
int delete_listed_co_installer(const char *path, string_list_entry **restart_list) {
    const char *slash = mb_find_last_char(path, '\\');
    unsigned long error = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES
                              ? take_dll_out_of_co_installers(slash + 1, 0)
                              : 0;
    if (error) return log_deletion("file", path, deletion_failed(error));
    return delete_listed_file(path, restart_list);
}
