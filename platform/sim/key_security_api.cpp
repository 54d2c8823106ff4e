// Key security of the simulated platform: RegGetKeySecurity answers a self-relative
// descriptor built from the key's model; RegSetKeySecurity takes an absolute or self-relative
// one and replaces the parts it names. Windows 98/ME keys have no security.
#include <cstring>

#include "acl_codec.h"
#include "machine.h"
#include "registry_api.h"
#include "registry_handles.h"
#include "security_api.h"

using namespace sim;

namespace {

LONG planted(const char *function, OpenKey *open) {
    DWORD error;
    if (current_machine().take_fault(function, open->key->path(), &error)) return (LONG)error;
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegGetKeySecurity(HKEY key, SECURITY_INFORMATION what, PSECURITY_DESCRIPTOR descriptor,
                       LPDWORD size) {
    OpenKey *open = resolve_key(key);
    record_call("RegGetKeySecurity", (open ? open->key->path() : std::string("?")) + " " +
                                         hex(what) + " " + (size ? std::to_string(*size) : "-"));
    if (!current_machine().is_nt()) return ERROR_CALL_NOT_IMPLEMENTED;
    if (!open) return ERROR_INVALID_HANDLE;
    if (open->key->deleted) return ERROR_KEY_DELETED;
    if (!size) return ERROR_INVALID_PARAMETER;
    if (what & SACL_SECURITY_INFORMATION) return ERROR_PRIVILEGE_NOT_HELD;
    if ((open->access & READ_CONTROL) != READ_CONTROL) return ERROR_ACCESS_DENIED;
    LONG rc = planted("RegGetKeySecurity", open);
    if (rc != ERROR_SUCCESS) return rc;
    std::vector<uint8_t> bytes = self_relative_descriptor(open->key->security, what);
    if (!descriptor || *size < bytes.size()) {
        *size = (DWORD)bytes.size();
        return ERROR_INSUFFICIENT_BUFFER;
    }
    std::memcpy(descriptor, bytes.data(), bytes.size());
    *size = (DWORD)bytes.size();
    return ERROR_SUCCESS;
}

LONG RegSetKeySecurity(HKEY key, SECURITY_INFORMATION what, PSECURITY_DESCRIPTOR descriptor) {
    OpenKey *open = resolve_key(key);
    record_call("RegSetKeySecurity", (open ? open->key->path() : std::string("?")) + " " + hex(what));
    if (!current_machine().is_nt()) return ERROR_CALL_NOT_IMPLEMENTED;
    if (!open) return ERROR_INVALID_HANDLE;
    if (open->key->deleted) return ERROR_KEY_DELETED;
    if (!descriptor) return ERROR_INVALID_PARAMETER;
    if (what & SACL_SECURITY_INFORMATION) return ERROR_PRIVILEGE_NOT_HELD;
    if ((what & DACL_SECURITY_INFORMATION) && (open->access & WRITE_DAC) != WRITE_DAC)
        return ERROR_ACCESS_DENIED;
    if ((what & (OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION)) &&
        (open->access & WRITE_OWNER) != WRITE_OWNER)
        return ERROR_ACCESS_DENIED;
    DescriptorParts parts;
    if (!read_descriptor(descriptor, (DWORD)-1, &parts)) return ERROR_INVALID_SECURITY_DESCR;
    LONG rc = planted("RegSetKeySecurity", open);
    if (rc != ERROR_SUCCESS) return rc;
    KeySecurity &security = open->key->security;
    if (what & OWNER_SECURITY_INFORMATION) {
        if (parts.owner.empty()) return ERROR_INVALID_OWNER;
        security.owner_sid = parts.owner;
    }
    if ((what & GROUP_SECURITY_INFORMATION) && !parts.group.empty()) security.group_sid = parts.group;
    if (what & DACL_SECURITY_INFORMATION) {
        security.has_dacl = parts.dacl_present && !parts.dacl_null;
        security.dacl = security.has_dacl ? parts.dacl : std::vector<AccessEntry>();
    }
    count_mutating_call();
    return ERROR_SUCCESS;
}
