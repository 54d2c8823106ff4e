// Device information sets, device interfaces, device properties, class keys and the class
// installer of the simulated platform, over the machine's device tree. A set is a snapshot of
// the devices that matched when it was built; an element whose device was removed later stays
// in the set, as on Windows, and answers ERROR_NO_SUCH_DEVINST.
#include "setupapi_api.h"

#include <cstring>

#include "device_sets.h"
#include "device_tree.h"
#include "machine.h"
#include "registry_api.h"
#include "mbcs.h"
#include "registry_handles.h"
#include "setupapi_exports.h"
#include "system_api.h"
#include "wow64_view.h"

using namespace sim;

namespace {

std::string describe(const GUID *guid) { return guid ? guid_text(*guid) : "(null)"; }

bool first_component_is(const std::string &instance_id, const char *enumerator) {
    std::string first = instance_id.substr(0, instance_id.find('\\'));
    return equal_nocase(first, enumerator);
}

void set_config_disabled(const Device &device, bool disabled) {
    Registry &r = current_machine().registry;
    std::string key = std::string(ENUM_ROOT) + "\\" + device.instance_id;
    RegKey *k = r.find(key);
    if (!k) return;
    DWORD flags = 0;
    RegValue *v = k->value("ConfigFlags");
    if (v && v->type == REG_DWORD && v->data.size() == 4)
        flags = v->data[0] | v->data[1] << 8 | v->data[2] << 16 | (DWORD)v->data[3] << 24;
    flags = disabled ? (flags | 1u) : (flags & ~1u);  // CONFIGFLAG_DISABLED
    r.set_dword(key, "ConfigFlags", flags);
}

const SP_PROPCHANGE_PARAMS *property_change_params(const DeviceSet &set, const Element &e) {
    if (e.has_params && e.params.ClassInstallHeader.InstallFunction == DIF_PROPERTYCHANGE)
        return &e.params;
    if (set.has_params && set.params.ClassInstallHeader.InstallFunction == DIF_PROPERTYCHANGE)
        return &set.params;
    return nullptr;
}

BOOL change_state(DeviceSet &set, Element &e) {
    Device &device = device_at(e.device);
    const SP_PROPCHANGE_PARAMS *params = property_change_params(set, e);
    if (!params) return fail_with(ERROR_NO_CLASSINSTALL_PARAMS);
    if (fault_taken("SetupDiCallClassInstaller", "DIF_PROPERTYCHANGE " + device.instance_id)) return FALSE;
    if (params->StateChange == DICS_DISABLE) {
        if (device.refuse_disable) return fail_with(ERROR_NOT_DISABLEABLE);
        device.disabled = true;
        set_config_disabled(device, true);
    } else if (params->StateChange == DICS_ENABLE) {
        device.disabled = false;
        set_config_disabled(device, false);
    }
    e.flags |= device.install_flags_after_call;
    count_mutating_call();
    return TRUE;
}

BOOL remove(Element &e) {
    Device &device = device_at(e.device);
    if (fault_taken("SetupDiCallClassInstaller", "DIF_REMOVE " + device.instance_id)) return FALSE;
    if (device.refuse_remove) return fail_with(ERROR_ACCESS_DENIED);
    remove_device_instance(current_machine(), device);
    // A device that cannot be stopped now is taken out at the next restart; its keys are
    // gone already.
    e.flags |= device.install_flags_after_call;
    count_mutating_call();
    return TRUE;
}

// The device a record of the set names, unless it was removed; nullptr with the error set.
const Device *live_device(HDEVINFO handle, PSP_DEVINFO_DATA device) {
    DeviceSet *set = device_set_of(handle);
    Element *e = set ? element_of(set, device) : nullptr;
    if (!set) fail_with(ERROR_INVALID_HANDLE);
    if (!e) return nullptr;
    if (device_at(e->device).removed) return fail_with(ERROR_NO_SUCH_DEVINST), nullptr;
    return &device_at(e->device);
}

// The value of the device key behind a filter property; nullptr for another property.
const char *filter_value_name(DWORD property) {
    if (property == SPDRP_UPPERFILTERS) return "UpperFilters";
    if (property == SPDRP_LOWERFILTERS) return "LowerFilters";
    return nullptr;
}

const RegValue *filter_value(const Device &device, DWORD property) {
    RegKey *key = current_machine().registry.find(std::string(ENUM_ROOT) + "\\" + device.instance_id);
    const char *name = filter_value_name(property);
    return key && name ? key->value(name) : nullptr;
}

}  // namespace

HDEVINFO setupapi_dll::SetupDiGetClassDevsA(const GUID *class_guid, PCSTR enumerator, HWND parent, DWORD flags) {
    (void)parent;
    std::string detail = describe(class_guid) + " " + (enumerator ? enumerator : "(null)") + " " + hex(flags);
    record_call("SetupDiGetClassDevsA", detail);
    Machine &m = current_machine();
    if (!class_guid && !(flags & DIGCF_ALLCLASSES)) return fail_with(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
    if (fault_taken("SetupDiGetClassDevsA", detail)) return INVALID_HANDLE_VALUE;
    if (m.devices.class_devs_fail) {
        SetLastError(m.devices.class_devs_error ? m.devices.class_devs_error : ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    DeviceSet set;
    set.present_only = (flags & DIGCF_PRESENT) != 0;
    for (size_t slot = 0; slot < m.devices.devices.size(); ++slot) {
        const Device &d = m.devices.devices[slot];
        if (d.removed) continue;
        if (enumerator && !first_component_is(d.instance_id, enumerator)) continue;
        if (flags & DIGCF_DEVICEINTERFACE) {
            bool listed = false;
            for (const DeviceInterface &i : d.interfaces)
                if (((flags & DIGCF_ALLCLASSES) || same_guid(i.interface_class, *class_guid)) &&
                    (!set.present_only || d.interfaces_active()))
                    listed = true;
            if (!listed) continue;
        } else {
            if (!(flags & DIGCF_ALLCLASSES) && !same_guid(d.device_class, *class_guid)) continue;
            if (set.present_only && !d.present) continue;
        }
        Element e;
        e.device = slot;
        set.elements.push_back(e);
    }
    if (class_guid && !(flags & (DIGCF_ALLCLASSES | DIGCF_DEVICEINTERFACE))) {
        set.has_class = true;
        set.device_class = *class_guid;
    }
    HDEVINFO handle = add_device_set(set);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL setupapi_dll::SetupDiDestroyDeviceInfoList(HDEVINFO handle) {
    record_call("SetupDiDestroyDeviceInfoList", "");
    if (!erase_device_set(handle)) return fail_with(ERROR_INVALID_HANDLE);
    // A planted fault makes the platform report a failure after releasing the list.
    if (fault_taken("SetupDiDestroyDeviceInfoList", "")) return FALSE;
    return TRUE;
}

BOOL setupapi_dll::SetupDiEnumDeviceInfo(HDEVINFO handle, DWORD index, PSP_DEVINFO_DATA device) {
    record_call("SetupDiEnumDeviceInfo", std::to_string(index));
    DeviceSet *set = device_set_of(handle);
    if (!set) return fail_with(ERROR_INVALID_HANDLE);
    if (!device) return fail_with(ERROR_INVALID_PARAMETER);
    if (device->cbSize != sizeof(SP_DEVINFO_DATA)) return fail_with(ERROR_INVALID_USER_BUFFER);
    if (index >= set->elements.size()) return fail_with(ERROR_NO_MORE_ITEMS);
    fill_device(device, *set, index);
    return TRUE;
}

BOOL setupapi_dll::SetupDiGetDeviceRegistryPropertyA(HDEVINFO handle, PSP_DEVINFO_DATA device, DWORD property,
                                       PDWORD type, PBYTE buffer, DWORD size, PDWORD required) {
    record_call("SetupDiGetDeviceRegistryPropertyA", hex(property) + " " + std::to_string(size));
    const Device *live = live_device(handle, device);
    if (!live) return FALSE;
    const Device &d = *live;
    std::vector<uint8_t> data;
    DWORD data_type = REG_SZ;
    auto text = [&data](const std::string &t) {
        data.assign(t.begin(), t.end());
        data.push_back(0);
    };
    switch (property) {
        case SPDRP_HARDWAREID:
            if (d.hardware_ids.empty()) return fail_with(ERROR_INVALID_DATA);
            data_type = REG_MULTI_SZ;
            for (const std::string &id : d.hardware_ids) {
                data.insert(data.end(), id.begin(), id.end());
                data.push_back(0);
            }
            data.push_back(0);
            break;
        case SPDRP_DRIVER:
            if (d.driver_key.empty()) return fail_with(ERROR_INVALID_DATA);
            text(d.driver_key);
            break;
        case SPDRP_CLASSGUID:
            text(guid_text(d.device_class));
            break;
        case SPDRP_DEVICEDESC:
            if (d.description.empty()) return fail_with(ERROR_INVALID_DATA);
            text(d.description);
            break;
        case SPDRP_UPPERFILTERS:
        case SPDRP_LOWERFILTERS: {
            const RegValue *v = filter_value(d, property);
            if (!v) return fail_with(ERROR_INVALID_DATA);
            data = v->data;
            data_type = v->type;
            break;
        }
        default:
            return fail_with(ERROR_INVALID_DATA);
    }
    if (fault_taken("SetupDiGetDeviceRegistryPropertyA", d.instance_id + " " + hex(property))) return FALSE;
    if (!buffer && size) return fail_with(ERROR_INVALID_USER_BUFFER);
    if (type) *type = data_type;
    if (required) *required = (DWORD)data.size();
    if (size < data.size()) {
        // The platform leaves the buffer undefined; make that visible to tests.
        if (buffer) memset(buffer, 0xCC, size);
        return fail_with(ERROR_INSUFFICIENT_BUFFER);
    }
    memcpy(buffer, data.data(), data.size());
    return TRUE;
}

// Wine writes the property into the device key with RegSetValueExA as given, as REG_MULTI_SZ;
// no buffer (size 0) writes an empty list there (Windows deletes the property instead; either
// way no filter is named). The device key is written whatever its access list says, as the
// Plug and Play manager does for SetupAPI on Windows.
BOOL setupapi_dll::SetupDiSetDeviceRegistryPropertyA(HDEVINFO handle, PSP_DEVINFO_DATA device,
                                                     DWORD property, const BYTE *buffer, DWORD size) {
    record_call("SetupDiSetDeviceRegistryPropertyA", hex(property) + " " + std::to_string(size));
    const Device *live = live_device(handle, device);
    if (!live) return FALSE;
    const Device &d = *live;
    const char *name = filter_value_name(property);
    if (!name) return fail_with(ERROR_INVALID_DATA);
    if (!buffer && size) return fail_with(ERROR_INVALID_PARAMETER);
    if (fault_taken("SetupDiSetDeviceRegistryPropertyA", d.instance_id + " " + hex(property))) return FALSE;
    std::vector<uint8_t> data(buffer, buffer + size);
    current_machine().registry.set_value(std::string(ENUM_ROOT) + "\\" + d.instance_id, name,
                                         REG_MULTI_SZ, data);
    count_mutating_call();
    return TRUE;
}

// The instance id as the device tree names it; a buffer too small gets the size needed,
// terminator included, and ERROR_INSUFFICIENT_BUFFER.
BOOL setupapi_dll::SetupDiGetDeviceInstanceIdA(HDEVINFO handle, PSP_DEVINFO_DATA device, PSTR buffer, DWORD size,
                                 PDWORD required) {
    record_call("SetupDiGetDeviceInstanceIdA", std::to_string(size));
    const Device *live = live_device(handle, device);
    if (!live) return FALSE;
    const Device &d = *live;
    DWORD needed = (DWORD)d.instance_id.size() + 1;
    if (required) *required = needed;
    if (!buffer || size < needed) return fail_with(ERROR_INSUFFICIENT_BUFFER);
    if (fault_taken("SetupDiGetDeviceInstanceIdA", d.instance_id)) return FALSE;
    memcpy(buffer, d.instance_id.c_str(), needed);
    return TRUE;
}

HKEY setupapi_dll::SetupDiOpenClassRegKeyExA(const GUID *class_guid, REGSAM desired, DWORD flags,
                               PCSTR machine_name, PVOID reserved) {
    (void)reserved;
    record_call("SetupDiOpenClassRegKeyExA", describe(class_guid) + " " + hex(desired) + " " + hex(flags));
    HKEY invalid = reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE);
    if (flags != DIOCR_INSTALLER && flags != DIOCR_INTERFACE) return fail_with(ERROR_INVALID_FLAGS), invalid;
    if (machine_name) return fail_with(ERROR_INVALID_MACHINENAME), invalid;
    std::string path = flags == DIOCR_INSTALLER ? CLASS_ROOT : "System\\CurrentControlSet\\Control\\DeviceClasses";
    if (class_guid) path += "\\" + guid_text(*class_guid);
    Machine &m = current_machine();
    RegKey *key = m.registry.find(path);
    if (!key) return fail_with(ERROR_INVALID_CLASS), invalid;
    if (fault_taken("SetupDiOpenClassRegKeyExA", path)) return invalid;
    DWORD access = map_key_access(desired);
    if (m.is_nt() && !access_granted(key->security, current_process().token, access))
        return fail_with(ERROR_ACCESS_DENIED), invalid;
    return open_key_handle(key, access);
}

BOOL setupapi_dll::SetupDiSetClassInstallParamsA(HDEVINFO handle, PSP_DEVINFO_DATA device,
                                   PSP_CLASSINSTALL_HEADER params, DWORD size) {
    record_call("SetupDiSetClassInstallParamsA",
                (params ? hex(params->InstallFunction) : std::string("(null)")) + " " + std::to_string(size));
    DeviceSet *set = device_set_of(handle);
    if (!set) return fail_with(ERROR_INVALID_HANDLE);
    Element *e = nullptr;
    if (device && !(e = element_of(set, device))) return FALSE;
    bool &has = e ? e->has_params : set->has_params;
    DWORD &flags = e ? e->flags : set->flags;
    SP_PROPCHANGE_PARAMS &stored = e ? e->params : set->params;
    if (!params) {
        if (size) return fail_with(ERROR_INVALID_PARAMETER);
        has = false;
        flags &= ~(DWORD)DI_CLASSINSTALLPARAMS;
        return TRUE;
    }
    if (params->cbSize != sizeof(SP_CLASSINSTALL_HEADER)) return fail_with(ERROR_INVALID_USER_BUFFER);
    SP_PROPCHANGE_PARAMS copy{};
    if (params->InstallFunction == DIF_PROPERTYCHANGE) {
        if (size != sizeof(SP_PROPCHANGE_PARAMS)) return fail_with(ERROR_INVALID_USER_BUFFER);
        memcpy(&copy, params, sizeof copy);
        if (copy.StateChange < DICS_ENABLE || copy.StateChange > DICS_STOP ||
            (copy.Scope != DICS_FLAG_GLOBAL && copy.Scope != DICS_FLAG_CONFIGSPECIFIC))
            return fail_with(ERROR_INVALID_FLAGS);
    } else {
        copy.ClassInstallHeader = *params;
    }
    if (fault_taken("SetupDiSetClassInstallParamsA", e ? device_at(e->device).instance_id : "")) return FALSE;
    stored = copy;
    has = true;
    flags |= DI_CLASSINSTALLPARAMS;
    return TRUE;
}

BOOL setupapi_dll::SetupDiCallClassInstaller(DI_FUNCTION function, HDEVINFO handle, PSP_DEVINFO_DATA device) {
    DeviceSet *set = device_set_of(handle);
    Element *e = set && device ? element_of(set, device) : nullptr;
    std::string name = function == DIF_REMOVE ? "DIF_REMOVE" :
                       function == DIF_PROPERTYCHANGE ? "DIF_PROPERTYCHANGE" : hex(function);
    record_call("SetupDiCallClassInstaller", name + " " + (e ? device_at(e->device).instance_id : ""));
    if (!set) return fail_with(ERROR_INVALID_HANDLE);
    // 64-bit Windows installs and removes devices only for 64-bit processes ("Device
    // Installations on 64-Bit Systems"); Wine does not refuse.
    if (current_process_under_wow64()) return fail_with(ERROR_IN_WOW64);
    if (function != DIF_REMOVE && function != DIF_PROPERTYCHANGE) return fail_with(ERROR_DI_DO_DEFAULT);
    if (!device) return fail_with(ERROR_INVALID_PARAMETER);
    if (!e) return FALSE;
    if (device_at(e->device).removed) return fail_with(ERROR_NO_SUCH_DEVINST);
    return function == DIF_REMOVE ? remove(*e) : change_state(*set, *e);
}

BOOL setupapi_dll::SetupDiGetDeviceInstallParamsA(HDEVINFO handle, PSP_DEVINFO_DATA device,
                                    PSP_DEVINSTALL_PARAMS_A params) {
    record_call("SetupDiGetDeviceInstallParamsA", "");
    DeviceSet *set = device_set_of(handle);
    if (!set) return fail_with(ERROR_INVALID_HANDLE);
    Element *e = nullptr;
    if (device && !(e = element_of(set, device))) return FALSE;
    if (!params) return fail_with(ERROR_INVALID_PARAMETER);
    if (params->cbSize != sizeof(SP_DEVINSTALL_PARAMS_A)) return fail_with(ERROR_INVALID_USER_BUFFER);
    if (fault_taken("SetupDiGetDeviceInstallParamsA", e ? device_at(e->device).instance_id : "")) return FALSE;
    DWORD size = params->cbSize;
    memset(params, 0, sizeof *params);
    params->cbSize = size;
    params->Flags = e ? e->flags : set->flags;
    return TRUE;
}

