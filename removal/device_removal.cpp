#include "removal/device_removal.h"

#include <string.h>

#include "base/run_log.h"
#include "base/device_matching.h"
#include "base/guid_text.h"
#include "removal/device_walk.h"
#include "base/device_properties.h"

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

}  // namespace

BOOL enum_device_info(HDEVINFO set, DWORD index, SP_DEVINFO_DATA *device) {
    if (!device) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    device->cbSize = sizeof(SP_DEVINFO_DATA);
    return SetupDiEnumDeviceInfo(set, index, device);
}

int disable_device(run_record *record, HDEVINFO set, SP_DEVINFO_DATA *device) {
    char instance_id[INSTANCE_ID_SIZE];
    device_instance_id(set, device, instance_id);
    int done = set_disabled(record, set, device);
    log_device_outcome("disable", instance_id, done, "disabled", GetLastError());
    return done;
}

// A product GUID that does not parse names no class to look for attached handsets; the
// pass then fails, so that no device is removed without the attached ones disabled first.
int disable_interface_devices(run_record *record) {
    GUID interface_class;
    if (!parse_guid_text(record->profile->product_guid, &interface_class)) return 0;
    HDEVINFO set = SetupDiGetClassDevsA(&interface_class, 0, 0, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) return 0;
    int failures = 0;
    SP_DEVINFO_DATA device;
    for (DWORD index = 0; enum_device_info(set, index, &device); ++index) {
        if (!disable_device(record, set, &device)) ++failures;
        list_attached_instance(record, set, &device);
    }
    SetupDiDestroyDeviceInfoList(set);
    return failures == 0;
}

int remove_device(run_record *record, HDEVINFO set, SP_DEVINFO_DATA *device) {
    char instance_id[INSTANCE_ID_SIZE];
    device_instance_id(set, device, instance_id);  // a removed device no longer tells it
    BOOL removed = SetupDiCallClassInstaller(DIF_REMOVE, set, device);
    DWORD error = GetLastError();
    if (removed) note_restart_request(record, set, device);
    log_device_outcome("remove", instance_id, removed, "removed", error);
    return removed;
}

// Works on the instances the inventory listed, reopened (removal/device_walk.h); each is
// matched by its hardware id again before it is removed.
int remove_matching_devices(run_record *record) {
    string_list_entry *unopened = 0;
    HDEVINFO set = open_product_devices(record, &unopened);
    if (set == INVALID_HANDLE_VALUE) return 0;
    int failures = string_list_length(unopened);
    free_string_list(unopened);
    char hardware_id[DEVICE_PROPERTY_SIZE];
    SP_DEVINFO_DATA device;
    for (DWORD index = 0; enum_device_info(set, index, &device); ++index) {
        if (!get_hardware_id(set, &device, hardware_id)) continue;
        if (!hardware_id_matches(hardware_id, record->device_ids, record->device_names)) continue;
        if (!remove_device(record, set, &device)) ++failures;
    }
    if (!SetupDiDestroyDeviceInfoList(set)) return 0;
    return failures == 0;
}
