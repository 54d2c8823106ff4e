// The removal sequence: one order, run by the executor that changes the machine or by the
// plan executor of -dry_run (removal/removal_plan.h), which writes "plan: ..." lines instead.
#ifndef K440_REMOVAL_RUN_REMOVAL_H
#define K440_REMOVAL_RUN_REMOVAL_H

#include "base/run_record.h"
#include "base/string_list.h"
#include "platform/win32.h"

// The deletions return 1 for an item still in place and not handed to the restart,
// hand_to_restart the paths not handed over. The actions marked optional may be 0.
struct removal_executor {
    const char *note_prefix;  // before the sequence's own notes: "" or "plan: "
    int (*keep_plan)(const run_record *record);  // optional
    int (*disable_attached_devices)(run_record *record);  // optional; 1: all disabled
    int (*remove_devices)(run_record *record);
    int (*clear_usb_flags)(const string_list_entry *device_ids);  // 1 when one was cleared
    int (*devices_left)(const run_record *record);  // optional; devices and UsbFlags values
    // The OEM INF copies with their PNF twins, which the file step then leaves alone; the
    // number of items that stayed.
    int (*uninstall_driver_packages)(run_record *record, string_list_entry **restart_list);
    int (*delete_key)(const char *key_path);
    int (*delete_value)(const char *key_path, const char *value_name);
    int (*delete_file)(const char *path, string_list_entry **restart_list);
    // An install-folder entry: deleted, or pushed onto *restart_list, folders too.
    int (*sweep_file)(const char *path, string_list_entry **restart_list);
    void (*keep_program)(const char *path, const char *which);  // optional; for the hand-off
    int (*hand_to_restart)(const string_list_entry *list, const run_record *record);
    // NT family (removal/filter_references.h): the names of the service keys taken out of the
    // filter lists before the first key goes, handing back those a list still holds, whose
    // services stay; a service key deleted through the service manager; a DLL of the system
    // folder, first taken out of the co-installer lists, and kept while one still names it.
    string_list_entry *(*take_services_out_of_filters)(const run_record *record);
    // *manager: the run's connection to the service manager (removal/service_deletion.h).
    int (*delete_service)(run_record *record, const char *key_path, SC_HANDLE *manager);
    int (*delete_co_installer)(const char *path, string_list_entry **restart_list);
};

// Works through the record's lists in the fixed order; the number of items left in place.
int run_removal_sequence(run_record *record, const removal_executor *executor);

// The sequence with the change executor, writing every action to the run log. Returns 0, or
// 15 when something it set out to remove is still in place and not handed to the restart. A
// needed restart is reported in restart_needed.
int run_removal(run_record *record);

#endif
