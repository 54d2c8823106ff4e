#include "removal/driver_packages.h"

#include <string.h>

#include "base/mbtext.h"
#include "base/os_class.h"
#include "base/path_text.h"
#include "base/text_buffer.h"
#include "platform/win32.h"

namespace {

typedef BOOL(WINAPI *uninstall_oem_inf_function)(PCSTR inf_file_name, DWORD flags, PVOID reserved);

// Found at run time: a static import would keep the program from loading on Windows 2000,
// 98 and ME, whose setupapi.dll has no such export. The product imports setupapi.dll, so
// the module is loaded already.
uninstall_oem_inf_function find_uninstall_oem_inf(void) {
    HMODULE setupapi = GetModuleHandleA("setupapi.dll");
    if (!setupapi) return 0;
    FARPROC found = GetProcAddress(setupapi, "SetupUninstallOEMInfA");
    // Through void (*)(void), which compilers take as the generic function pointer type.
    return reinterpret_cast<uninstall_oem_inf_function>(reinterpret_cast<void (*)(void)>(found));
}

int listed_before(const string_list_entry *list, const string_list_entry *entry) {
    for (const string_list_entry *earlier = list; earlier != entry; earlier = earlier->next)
        if (mb_equal_nocase(earlier->text, entry->text)) return 1;
    return 0;
}

// 1 when the platform removed the copy. It may refuse (a device, attached or not, still uses
// the INF) or answer success and keep the file (Wine's does without the force flag, which is
// never given: it would pull the INF from under a device still installed).
int uninstall_copy(uninstall_oem_inf_function uninstall, const char *path, const char *name) {
    if (!uninstall(name, 0, 0)) return 0;
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
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

int uninstall_driver_packages(run_record *record) {
    if (record->os_class < OS_FIRST_NT || !record->windows_dir[0]) return 0;
    uninstall_oem_inf_function uninstall = find_uninstall_oem_inf();
    if (!uninstall) return 0;
    int removed = 0;
    for (const string_list_entry *entry = record->files_to_delete; entry; entry = entry->next) {
        const char *name = oem_inf_name(entry->text, record->windows_dir);
        // Several devices installed from one INF queue its pair several times.
        if (!name || listed_before(record->files_to_delete, entry)) continue;
        removed += uninstall_copy(uninstall, entry->text, name);
    }
    return removed;
}
