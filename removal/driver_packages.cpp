#include "removal/driver_packages.h"

#include <string.h>

#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/path_text.h"
#include "base/pnf_twin.h"
#include "base/run_log.h"
#include "base/text_buffer.h"
#include "removal/file_deletion.h"

namespace {

void log_oem_inf_outcome(const char *inf_path, const oem_inf_outcome *outcome) {
    char failure[FAILURE_TEXT_SIZE];
    const char *route = "";
    switch (outcome->route) {
        case OEM_INF_UNINSTALLED: route = "uninstalled by the platform"; break;
        case OEM_INF_REFUSED: route = failure_text(outcome->error, failure); break;
        case OEM_INF_KEPT: route = "kept by the platform, deleted as a file"; break;
        case OEM_INF_NO_CALL: route = "no such call here, deleted as a file"; break;
        case OEM_INF_ABSENT: route = "not there"; break;
    }
    log_line("uninstall driver package %s: %s%s", inf_path, route,
             outcome->inf_left ? ", the copy is still there" : "");
}

int file_exists(const char *path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int listed_before(const string_list_entry *list, const string_list_entry *entry) {
    for (const string_list_entry *earlier = list; earlier != entry; earlier = earlier->next)
        if (mb_equal_nocase(earlier->text, entry->text)) return 1;
    return 0;
}

const char *file_name_of(const char *path) {
    const char *slash = mb_find_last_char(path, '\\');
    return slash ? slash + 1 : path;
}

}  // namespace

const char *oem_inf_name(const char *path, const char *windows_dir) {
    char inf_dir[PATH_SIZE];
    if (!windows_dir[0] || !text_join(inf_dir, sizeof inf_dir, windows_dir, "\\", "inf\\")) return 0;
    size_t dir_length = strlen(inf_dir);
    if (strlen(path) <= dir_length || !mb_prefix_equal_nocase(path, inf_dir, dir_length)) return 0;
    const char *name = path + dir_length;
    if (!is_bare_file_name(name) || !mb_prefix_equal_nocase(name, "oem", 3)) return 0;
    const char *extension = mb_find_last_char(name, '.');
    return extension && mb_equal_nocase(extension, ".inf") ? name : 0;
}

// Windows 2000, 98 and ME have no such export; below XP it is not even looked up.
uninstall_oem_inf_function find_uninstall_oem_inf(int os_class) {
    return os_class < OS_WINXP ? 0 : setupapi_uninstall_oem_inf();
}

oem_inf_outcome remove_oem_inf(uninstall_oem_inf_function uninstall, const char *inf_path) {
    oem_inf_outcome outcome = {OEM_INF_NO_CALL, 0, 0, 0};
    if (!file_exists(inf_path)) {
        outcome.route = OEM_INF_ABSENT;
    } else if (uninstall) {
        // Success alone proves nothing: an implementation may keep the file (Wine's does
        // without the force flag), so only a copy that is gone counts as uninstalled.
        if (uninstall(file_name_of(inf_path), 0, 0)) {
            outcome.route = file_exists(inf_path) ? OEM_INF_KEPT : OEM_INF_UNINSTALLED;
        } else {
            outcome.route = OEM_INF_REFUSED;
            outcome.error = GetLastError();
        }
    }
    char twin[PATH_SIZE];
    int has_twin = pnf_twin_of(inf_path, twin, sizeof twin);
    if (outcome.route != OEM_INF_UNINSTALLED) {
        if (outcome.route != OEM_INF_ABSENT) delete_file_now(inf_path);
        if (has_twin) delete_file_now(twin);
    }
    outcome.inf_left = file_exists(inf_path);
    outcome.pnf_left = has_twin && file_exists(twin);
    return outcome;
}

// Several devices installed from one INF queue its pair several times.
const string_list_entry *next_driver_package(const run_record *record,
                                             const string_list_entry *from) {
    while (from && (!oem_inf_name(from->text, record->windows_dir) ||
                    listed_before(record->files_to_delete, from)))
        from = from->next;
    return from;
}

void uninstall_driver_packages(run_record *record) {
    if (record->os_class < OS_FIRST_NT) return;
    uninstall_oem_inf_function uninstall = find_uninstall_oem_inf(record->os_class);
    for (const string_list_entry *entry = next_driver_package(record, record->files_to_delete);
         entry; entry = next_driver_package(record, entry->next)) {
        oem_inf_outcome outcome = remove_oem_inf(uninstall, entry->text);
        log_oem_inf_outcome(entry->text, &outcome);
    }
}
