#include "inventory/product_record.h"

#include <stdio.h>

#include "base/key_path.h"
#include "base/options.h"
#include "base/os_class.h"
#include "base/reg_helpers.h"
#include "base/registry_view.h"
#include "base/text_buffer.h"
#include "inventory/finding_checks.h"
#include "base/pnf_twin.h"
#include "base/run_log.h"
#include "platform/win32.h"

#define SWITCH_TEXT_SIZE 1024
#define DEVICE_ID_SIZE 32
#define VALUE_NAME_SIZE 16

namespace {

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

// A rejected switch only ends this parse. "-dry_run" is taken from the command line alone: left
// in the record it would turn every later uninstall into a plan that removes nothing, ended
// with success.
void take_record_switches(const char *switches, run_record *record) {
    int dry_run = record->dry_run;
    parse_options(switches, record);
    if (record->dry_run && !dry_run) {
        record->dry_run = 0;
        log_line("ignored -dry_run in the product record's UninstallerCmdLineSwitch: only the "
                 "command line asks for a dry run");
    }
}

}  // namespace

int read_product_record(run_record *record) {
    char path[PATH_SIZE];
    if (!compose_key_path(path, PRODUCT_RECORD_ROOT, record->profile->product_guid)) return 0;
    HKEY key;
    if (open_machine_key(path, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return 0;
    push_string(&record->keys_to_delete, path);
    text_copy(record->product_key, sizeof record->product_key, path);
    log_line("found key %s (the product record)", path);

    char install_dir[PATH_SIZE];
    if (reg_read_string_at(key, "InstallPath", install_dir, sizeof install_dir))
        text_copy(record->install_dir, sizeof record->install_dir, install_dir);

    char switches[SWITCH_TEXT_SIZE];
    if (reg_read_string_at(key, "UninstallerCmdLineSwitch", switches, sizeof switches))
        take_record_switches(switches, record);

    read_file_values(key, record);
    read_device_ids(key, record);
    RegCloseKey(key);
    return 1;
}
