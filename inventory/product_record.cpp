#include "inventory/product_record.h"

#include <stdio.h>

#include "base/key_path.h"
#include "base/options.h"
#include "base/os_class.h"
#include "base/path_text.h"
#include "base/reg_helpers.h"
#include "base/registry_view.h"
#include "base/text_buffer.h"
#include "base/pnf_twin.h"
#include "base/run_log.h"
#include "platform/win32.h"

#define SWITCH_TEXT_SIZE 1024
#define DEVICE_ID_SIZE 32
#define VALUE_NAME_SIZE 16

namespace {

// A file value is queued only as a whole path from a drive root, written as Win32 reads it:
// empty, with an empty part (a doubled, leading or trailing backslash), a bare name, a relative
// path ("drivers\x.sys" from a program started in system32) or a path that Win32 rewrites
// ("...\K440dT\..\..\x.sys"), it names no file the installer placed, and the deletion would
// aim at a folder or at whatever the text resolves to.
int is_full_file_path(const char *path) {
    return starts_at_a_drive_root(path) && is_key_path_below(path, 2) && reads_as_written(path);
}

// The numbered file values, each with its PNF twin on the NT family. A value without any
// "." in its file name has no twin and adds only itself. A value that is no full path is
// passed over; the series goes on, as the value itself was readable.
void read_file_values(HKEY key, run_record *record) {
    for (unsigned int n = 0; n <= 0xFFFF; ++n) {
        char name[VALUE_NAME_SIZE];
        char path[PATH_SIZE];
        sprintf(name, "%4.4x", n);
        if (!reg_read_string_at(key, name, path, sizeof path)) return;
        if (!is_full_file_path(path)) continue;
        push_string(&record->files_to_delete, path);
        log_line("found file %s (the product record's value %s)", path, name);
        char twin[PATH_SIZE];
        if (record->os_class >= OS_FIRST_NT && pnf_twin_of(path, twin, sizeof twin)) {
            push_string(&record->files_to_delete, twin);
            log_line("found file %s (the PNF twin of %s)", twin, path);
        }
    }
}

void read_device_ids(HKEY key, run_record *record) {
    for (unsigned int n = 0; n <= 0xFFFF; ++n) {
        char name[VALUE_NAME_SIZE];
        char id[DEVICE_ID_SIZE];
        sprintf(name, "VIDPID%4.4x", n);
        if (!reg_read_string_at(key, name, id, sizeof id)) return;
        record->ids_from_record = 1;
        push_string(&record->device_ids, id);
        log_line("found device id %s (the product record's value %s)", id, name);
    }
}

}  // namespace

int read_product_record(run_record *record) {
    char path[PATH_SIZE];
    if (!compose_key_path(path, PRODUCT_RECORD_ROOT, record->profile->product_guid)) return 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | software_view_access(path), &key) !=
        ERROR_SUCCESS)
        return 0;
    push_string(&record->keys_to_delete, path);
    log_line("found key %s (the product record)", path);

    char install_dir[PATH_SIZE];
    if (reg_read_string_at(key, "InstallPath", install_dir, sizeof install_dir))
        text_copy(record->install_dir, sizeof record->install_dir, install_dir);

    char switches[SWITCH_TEXT_SIZE];
    if (reg_read_string_at(key, "UninstallerCmdLineSwitch", switches, sizeof switches))
        parse_options(switches, record);  // a rejected switch only ends this parse

    read_file_values(key, record);
    read_device_ids(key, record);
    RegCloseKey(key);
    return 1;
}
