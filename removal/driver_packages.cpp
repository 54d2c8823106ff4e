#include "removal/driver_packages.h"

#include <string.h>

#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/path_text.h"
#include "base/pnf_twin.h"
#include "base/run_log.h"
#include "base/text_buffer.h"
#include "removal/inf_holders.h"
#include "removal/listed_deletion.h"

// setupapi.h of the newer SDKs; the program names it itself for the older headers.
#ifndef ERROR_INF_IN_USE_BY_DEVICES
#define ERROR_INF_IN_USE_BY_DEVICES 0xE000023DUL
#endif

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
             outcome->route == OEM_INF_REFUSED ? ", deleted as a file" : "");
}

// The copy, its PNF and its store package stay together, named with what holds them.
void log_copy_in_use(const run_record *record, const char *inf_path, const char *inf_name) {
    char ids[LIST_TEXT_SIZE];
    int holders = count_inf_holders(record, inf_name, 0, ids, sizeof ids);
    log_line("uninstall driver package %s: kept with its PNF and package, in use by %d device(s)%s%s",
             inf_path, holders, ids[0] ? ": " : "", ids);
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
    oem_inf_outcome outcome = {OEM_INF_NO_CALL, 0};
    if (!file_exists(inf_path)) {
        outcome.route = OEM_INF_ABSENT;
    } else if (uninstall) {
        // Success alone proves nothing: an implementation may keep the file (Wine's does
        // without the force flag), so only a copy that is gone counts as uninstalled.
        if (uninstall(file_name_of(inf_path), 0, 0)) {
            outcome.route = file_exists(inf_path) ? OEM_INF_KEPT : OEM_INF_UNINSTALLED;
        } else {
            outcome.error = GetLastError();
            outcome.route =
                outcome.error == ERROR_INF_IN_USE_BY_DEVICES ? OEM_INF_IN_USE : OEM_INF_REFUSED;
        }
    }
    return outcome;
}

int delete_oem_inf_files(const oem_inf_outcome *outcome, const char *inf_path,
                         string_list_entry **restart_list) {
    if (outcome->route == OEM_INF_UNINSTALLED || outcome->route == OEM_INF_IN_USE) return 0;
    int left = 0;
    if (outcome->route != OEM_INF_ABSENT) left += delete_listed_file(inf_path, restart_list);
    char twin[PATH_SIZE];
    if (pnf_twin_of(inf_path, twin, sizeof twin)) left += delete_listed_file(twin, restart_list);
    return left;
}

int is_driver_package_file(const run_record *record, const char *path) {
    if (record->os_class < OS_FIRST_NT) return 0;
    if (oem_inf_name(path, record->windows_dir)) return 1;
    for (const string_list_entry *entry = record->files_to_delete; entry; entry = entry->next) {
        char twin[PATH_SIZE];
        if (oem_inf_name(entry->text, record->windows_dir) &&
            pnf_twin_of(entry->text, twin, sizeof twin) && mb_equal_nocase(twin, path))
            return 1;
    }
    return 0;
}

// Several devices installed from one INF queue its pair several times.
const string_list_entry *next_driver_package(const run_record *record,
                                             const string_list_entry *from) {
    while (from && (!oem_inf_name(from->text, record->windows_dir) ||
                    listed_before(record->files_to_delete, from)))
        from = from->next;
    return from;
}

int uninstall_driver_packages(run_record *record, string_list_entry **restart_list) {
    if (record->os_class < OS_FIRST_NT) return 0;
    uninstall_oem_inf_function uninstall = find_uninstall_oem_inf(record->os_class);
    int left = 0;
    for (const string_list_entry *entry = next_driver_package(record, record->files_to_delete);
         entry; entry = next_driver_package(record, entry->next)) {
        oem_inf_outcome outcome = remove_oem_inf(uninstall, entry->text);
        if (outcome.route == OEM_INF_IN_USE) {
            log_copy_in_use(record, entry->text, file_name_of(entry->text));
            ++left;
            continue;
        }
        log_oem_inf_outcome(entry->text, &outcome);
        left += delete_oem_inf_files(&outcome, entry->text, restart_list);
    }
    return left;
}
