#include "removal/service_deletion.h"

#include "base/run_log.h"
#include "platform/win32.h"
#include "removal/registry_deletion.h"

namespace {

// What DeleteService left to do: nothing when the key is gone; the restart while the service
// runs (the manager deletes the key once it stops); the key tree of a stopped service whose
// key stayed.
deletion_outcome after_delete_service(const char *key_path, int stopped) {
    if (!key_is_present(key_path)) return deletion_done();
    if (!stopped) return {DELETION_HANDED_TO_RESTART, ERROR_SERVICE_MARKED_FOR_DELETE};
    return delete_key_tree(key_path);
}

}  // namespace

void close_service_manager(SC_HANDLE *manager) {
    service_manager_functions sm;
    if (*manager && find_service_manager(&sm)) sm.CloseServiceHandle(*manager);
    *manager = 0;
}

deletion_outcome delete_service_key(const char *key_path, const char *name, SC_HANDLE *manager) {
    service_manager_functions sm;
    if (!find_service_manager(&sm)) return delete_key_tree(key_path);
    // Connecting is all the manager itself needs to give; the service is opened for deletion.
    if (!*manager) *manager = sm.OpenSCManagerA(0, 0, SC_MANAGER_CONNECT);
    if (!*manager) return deletion_failed(GetLastError());
    SC_HANDLE service = sm.OpenServiceA(*manager, name, DELETE | SERVICE_QUERY_STATUS);
    if (!service) {
        DWORD error = GetLastError();
        // A key the manager does not hold as a service is only a key.
        if (error == ERROR_SERVICE_DOES_NOT_EXIST) return delete_key_tree(key_path);
        if (error == ERROR_SERVICE_MARKED_FOR_DELETE) return {DELETION_HANDED_TO_RESTART, error};
        return deletion_failed(error);
    }
    DWORD error = sm.DeleteService(service) ? ERROR_SUCCESS : GetLastError();
    char failure[FAILURE_TEXT_SIZE];
    log_line("delete service %s: %s", name,
             error == ERROR_SUCCESS                     ? "marked for deletion by the service manager"
             : error == ERROR_SERVICE_MARKED_FOR_DELETE ? "marked for deletion already"
                                                        : failure_text(error, failure));
    SERVICE_STATUS status;
    int stopped = sm.QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_STOPPED;
    // The manager deletes a stopped service's key when the last handle to it closes.
    sm.CloseServiceHandle(service);
    if (error != ERROR_SUCCESS && error != ERROR_SERVICE_MARKED_FOR_DELETE)
        return deletion_failed(error);
    return after_delete_service(key_path, stopped);
}
