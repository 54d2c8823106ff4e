#include "removal/device_removal.h"

#include <string.h>

#include "base/device_walk.h"
#include "base/run_log.h"

namespace {

const DWORD restart_flags = DI_NEEDRESTART | DI_NEEDREBOOT;

// Notes in the record when the platform says the last class-installer call on the device
// takes effect only after a restart.
void note_restart_request(run_record *record, HDEVINFO set, SP_DEVINFO_DATA *device) {
    SP_DEVINSTALL_PARAMS_A params;
    memset(&params, 0, sizeof params);
    params.cbSize = sizeof(SP_DEVINSTALL_PARAMS_A);
    if (SetupDiGetDeviceInstallParamsA(set, device, &params) && (params.Flags & restart_flags))
        record->restart_needed = 1;
}

int set_disabled(run_record *record, HDEVINFO set, SP_DEVINFO_DATA *device) {
    SP_PROPCHANGE_PARAMS params;
    memset(&params, 0, sizeof params);
    params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = DICS_DISABLE;
    params.Scope = DICS_FLAG_GLOBAL;
    params.HwProfile = 0;
    if (!SetupDiSetClassInstallParamsA(set, device, &params.ClassInstallHeader, sizeof params))
        return 0;
    if (!SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, device)) return 0;
    note_restart_request(record, set, device);
    return 1;
}

// Writes the outcome of a class-installer call to the run log.
void log_device_outcome(const char *action, const char *instance_id, int done,
                        const char *done_text, DWORD error) {
    char failure[FAILURE_TEXT_SIZE];
    log_line("%s device %s: %s", action, instance_id,
             done ? done_text : failure_text(error, failure));
}

int disable_device(run_record *record, const walked_device *walked) {
    char instance_id[INSTANCE_ID_SIZE];
    device_instance_id(walked->set, walked->device, instance_id, sizeof instance_id);
    int done = set_disabled(record, walked->set, walked->device);
    log_device_outcome("disable", instance_id, done, "disabled", GetLastError());
    return done;
}

// A handset found attached that the inventory did not list (plugged in after it) joins the
// list, so that it is removed with the others.
void list_attached_instance(run_record *record, const walked_device *walked) {
    if (!record->devices_listed || !walked->matches) return;
    char instance_id[LIST_TEXT_SIZE];
    if (!device_instance_id(walked->set, walked->device, instance_id, sizeof instance_id)) {
        record->devices_listed = 0;  // not to be reopened: the removal lists every device
        return;
    }
    if (string_list_holds(record->device_instances, instance_id)) return;
    if (!push_string(&record->device_instances, instance_id)) record->devices_listed = 0;
}

int remove_device(run_record *record, HDEVINFO set, SP_DEVINFO_DATA *device) {
    char instance_id[INSTANCE_ID_SIZE];
    device_instance_id(set, device, instance_id, sizeof instance_id);  // gone once removed
    BOOL removed = SetupDiCallClassInstaller(DIF_REMOVE, set, device);
    DWORD error = GetLastError();
    if (removed) note_restart_request(record, set, device);
    log_device_outcome("remove", instance_id, removed, "removed", error);
    return removed;
}

struct device_pass {
    run_record *record;
    int failures;
};

void disable_visit(const walked_device *walked, void *context) {
    device_pass *pass = static_cast<device_pass *>(context);
    if (!disable_device(pass->record, walked)) ++pass->failures;
    list_attached_instance(pass->record, walked);
}

// An instance that could not be reopened counts as a failed removal.
void remove_visit(const walked_device *walked, void *context) {
    device_pass *pass = static_cast<device_pass *>(context);
    if (!walked->device || !remove_device(pass->record, walked->set, walked->device))
        ++pass->failures;
}

}  // namespace

// A product GUID that does not parse names no class to look for attached handsets; the
// pass then fails, so that no device is removed without the attached ones disabled first.
// Hardware ids are read only while the inventory's list can take a handset it missed.
int disable_interface_devices(run_record *record) {
    const int listed = record->devices_listed;
    device_walk walk = {ATTACHED_INTERFACE_DEVICES, record->profile->product_guid, 0,
                        listed ? record->device_ids : 0, listed ? record->device_names : 0, 1};
    device_pass pass = {record, 0};
    if (walk_devices(&walk, disable_visit, &pass) == DEVICE_WALK_NO_LIST) return 0;
    return pass.failures == 0;
}

// Each instance is matched by its hardware id again before it is removed.
int remove_matching_devices(run_record *record) {
    device_walk walk = product_device_walk(record);
    device_pass pass = {record, 0};
    return walk_devices(&walk, remove_visit, &pass) == DEVICE_WALK_DONE && pass.failures == 0;
}
