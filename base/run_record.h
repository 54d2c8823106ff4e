// The run record: the whole state of one run, created zero-filled by the main flow and
// passed by pointer to every step.
#ifndef K440_BASE_RUN_RECORD_H
#define K440_BASE_RUN_RECORD_H

#include "base/profile.h"
#include "base/string_list.h"

#define PATH_SIZE 260

struct run_record {
    product_profile *profile;
    int os_class;
    int quiet;
    int leave_source;
    int force_rebootprompt;
    int msi_mode;
    int show_error;
    int prefix_only;
    int force_rebooting;
    int before_rebooting;
    int ignore_before_reboot_cmd;
    int skip_inf_validation;
    char windows_dir[PATH_SIZE];
    char own_path[PATH_SIZE];
    char install_dir[PATH_SIZE];
    string_list_entry *device_ids;
    int ids_from_record;
    string_list_entry *device_names;
    string_list_entry *class_keys;
    string_list_entry *files_to_delete;
    string_list_entry *keys_to_delete;
    value_pair_entry *values_to_delete;
    string_list_entry *driver_keys;
    // The product's device instances (NT family) by instance id, from the one list of every
    // device of the machine that a run builds, in its inventory: the removal reopens them one
    // by one instead of listing the machine's devices again. `devices_listed` is 1 only while
    // that list was built and holds every matching instance.
    string_list_entry *device_instances;
    int devices_listed;
    // The devices of any class with a filter list of their own (UpperFilters, LowerFilters),
    // by instance id, seen in the same walk: the only devices where a service of the driver
    // set can be a device filter. Complete while `devices_listed` is 1.
    string_list_entry *filtered_devices;
    int restart_needed;
    // The uninstall record and the product record the inventory found (empty when none): the
    // removal deletes them last and keeps its plan in the first of them that takes it.
    char uninstall_key[PATH_SIZE];
    char product_key[PATH_SIZE];
    // The run of the 64-bit companion (control/companion.h): `partner_path` is the 32-bit
    // program beside it, the name the uninstall record knows, and a program that may be
    // running (it waits for the companion), so the install-folder sweep hands it to the
    // restart.
    int companion;
    char partner_path[PATH_SIZE];
    int dry_run;                  // "-dry_run": the removal's plan goes to the log, nothing changes
    int msi_exit_codes;           // "-msi_exit_codes": the exit code in Windows Installer's terms
    // No box and no restart question may be shown: no one can answer in this session, or the
    // command line was written for an installer that asks nothing ("/quiet").
    int no_boxes;
    int companion_ran;            // the 64-bit companion did the run; its exit code is final
    char log_file[PATH_SIZE];     // "-log_file:<path>"; empty when none was given
    // The language of what the user sees (control/language_choice.h): the one a switch asked
    // for (0: none), the one chosen at start, and whether its texts go to the Unicode
    // functions, read as code page 932, rather than to the ANSI functions.
    int forced_language;
    int language;
    int unicode_texts;
};

// Releases every list of the record; returns 0.
int free_run_lists(run_record *record);

#endif
