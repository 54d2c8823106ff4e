// The service manager of the simulated machine, after Wine's services.exe: a service is a key
// under Services whose Type is set (a key without one is only configuration and not loaded);
// DeleteService marks a service, and its key is deleted with its whole tree when the last
// handle to it closes while it is stopped; a running one keeps its key until the restart, at
// which Windows' service manager deletes the keys it marked (restart_model.cpp). A second
// DeleteService answers ERROR_SERVICE_MARKED_FOR_DELETE.
#include "service_api.h"

#include <cstring>
#include <string>

#include "device_sets.h"
#include "machine.h"
#include "mbcs.h"
#include "registry_api.h"
#include "system_api.h"

using namespace sim;

namespace {

const char kServices[] = "SYSTEM\\CurrentControlSet\\Services";

typedef std::pair<std::string, DWORD> ServiceHandle;  // name ("": the manager), access

ServiceHandle *handle_of(SC_HANDLE handle) {
    auto &open = current_process().service_handles;
    auto found = open.find(reinterpret_cast<uintptr_t>(handle));
    return found == open.end() ? nullptr : &found->second;
}

SC_HANDLE new_handle(const std::string &name, DWORD access) {
    uintptr_t number = new_handle_number();
    current_process().service_handles[number] = ServiceHandle(name, access);
    ++current_process().open_handles;
    return reinterpret_cast<SC_HANDLE>(number);
}

DWORD service_type(const std::string &name) {
    RegKey *key = current_machine().registry.find(std::string(kServices) + "\\" + name);
    RegValue *type = key ? key->value("Type") : nullptr;
    if (!type || type->type != REG_DWORD || type->data.size() != 4) return 0;
    return type->data[0] | type->data[1] << 8 | type->data[2] << 16 | (DWORD)type->data[3] << 24;
}

SC_HANDLE no_handle(DWORD error) {
    fail_with(error);
    return nullptr;
}

bool handle_open_to(const std::string &name) {
    for (const auto &h : current_process().service_handles)
        if (h.second.first == name) return true;
    return false;
}

}  // namespace

SC_HANDLE advapi32_dll::OpenSCManagerA(LPCSTR machine_name, LPCSTR database_name, DWORD access) {
    record_call("OpenSCManagerA", hex(access));
    if ((machine_name && machine_name[0]) || (database_name && database_name[0]))
        return no_handle(ERROR_INVALID_NAME);
    if (fault_taken("OpenSCManagerA", "")) return nullptr;
    return new_handle("", access);
}

SC_HANDLE advapi32_dll::OpenServiceA(SC_HANDLE manager, LPCSTR service_name, DWORD access) {
    std::string name = service_name ? service_name : "";
    record_call("OpenServiceA", name + " " + hex(access));
    ServiceHandle *m = handle_of(manager);
    if (!m || !m->first.empty()) return no_handle(ERROR_INVALID_HANDLE);
    if (name.empty() || name.find_first_of("\\/") != std::string::npos)
        return no_handle(ERROR_INVALID_NAME);
    if (!service_type(name)) return no_handle(ERROR_SERVICE_DOES_NOT_EXIST);
    if (fault_taken("OpenServiceA", name)) return nullptr;
    return new_handle(lower(name), access);
}

BOOL advapi32_dll::DeleteService(SC_HANDLE service) {
    ServiceHandle *h = handle_of(service);
    record_call("DeleteService", h ? h->first : "(invalid)");
    if (!h || h->first.empty()) return fail_with(ERROR_INVALID_HANDLE);
    if (!(h->second & DELETE)) return fail_with(ERROR_ACCESS_DENIED);
    if (fault_taken("DeleteService", h->first)) return FALSE;
    Machine &m = current_machine();
    if (!m.services_marked_for_delete.insert(h->first).second)
        return fail_with(ERROR_SERVICE_MARKED_FOR_DELETE);
    count_mutating_call();
    return TRUE;
}

BOOL advapi32_dll::QueryServiceStatus(SC_HANDLE service, LPSERVICE_STATUS status) {
    ServiceHandle *h = handle_of(service);
    record_call("QueryServiceStatus", h ? h->first : "(invalid)");
    if (!h || h->first.empty()) return fail_with(ERROR_INVALID_HANDLE);
    if (!(h->second & SERVICE_QUERY_STATUS)) return fail_with(ERROR_ACCESS_DENIED);
    if (!status) return fail_with(ERROR_INVALID_PARAMETER);
    std::memset(status, 0, sizeof *status);
    status->dwServiceType = service_type(h->first);
    status->dwCurrentState =
        current_machine().running_services.count(h->first) ? SERVICE_RUNNING : SERVICE_STOPPED;
    return TRUE;
}

BOOL advapi32_dll::CloseServiceHandle(SC_HANDLE handle) {
    ServiceHandle *h = handle_of(handle);
    record_call("CloseServiceHandle", h ? h->first : "(invalid)");
    if (!h) return fail_with(ERROR_INVALID_HANDLE);
    std::string name = h->first;
    current_process().service_handles.erase(reinterpret_cast<uintptr_t>(handle));
    --current_process().open_handles;
    Machine &m = current_machine();
    if (!name.empty() && m.services_marked_for_delete.count(name) && !m.running_services.count(name) &&
        !handle_open_to(name)) {
        m.services_marked_for_delete.erase(name);
        m.registry.remove_tree(std::string(kServices) + "\\" + name);
        count_mutating_call();
    }
    return TRUE;
}
