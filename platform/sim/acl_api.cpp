// Access lists and security descriptors of the simulated platform, in the binary layouts of
// Windows, so that product code builds and hands over the same bytes it would there.
#include <cstring>

#include "acl_codec.h"
#include "machine.h"
#include "security_api.h"
#include "sid_text.h"
#include "system_api.h"

using namespace sim;

namespace {

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

bool revision_known(DWORD revision) { return revision >= ACL_REVISION && revision <= ACL_REVISION_DS; }

BOOL add_ace(const char *function, PACL acl, DWORD revision, BYTE type, DWORD mask, PSID sid) {
    record_call(function, hex(mask) + " " + sid_to_text(sid));
    if (!acl || !revision_known(revision)) return fail(ERROR_INVALID_PARAMETER);
    if (sid_to_text(sid).empty()) return fail(ERROR_INVALID_SID);
    DWORD used = 0;
    if (!acl_used_size(acl, &used)) return fail(ERROR_INVALID_ACL);
    DWORD sid_length = GetLengthSid(sid);
    DWORD ace_size = 8 + sid_length;  // header, mask, then the SID in place of SidStart
    if (used + ace_size > acl->AclSize) return fail(ERROR_ALLOTTED_SPACE_EXCEEDED);
    BYTE *ace = reinterpret_cast<BYTE *>(acl) + used;
    ACE_HEADER header = {type, 0, (WORD)ace_size};
    std::memcpy(ace, &header, sizeof header);
    std::memcpy(ace + 4, &mask, 4);
    std::memcpy(ace + 8, sid, sid_length);
    ++acl->AceCount;
    if (revision > acl->AclRevision) acl->AclRevision = (BYTE)revision;
    return TRUE;
}

}  // namespace

BOOL InitializeAcl(PACL acl, DWORD length, DWORD revision) {
    record_call("InitializeAcl", std::to_string(length) + " " + std::to_string(revision));
    if (!acl) return fail(ERROR_INVALID_PARAMETER);
    if (length < sizeof(ACL)) return fail(ERROR_INSUFFICIENT_BUFFER);
    if (!revision_known(revision) || length > 0xFFFF) return fail(ERROR_INVALID_PARAMETER);
    std::memset(acl, 0, sizeof(ACL));
    acl->AclRevision = (BYTE)revision;
    acl->AclSize = (WORD)(length & ~3u);  // the platform keeps the size DWORD-aligned
    return TRUE;
}

BOOL AddAccessAllowedAce(PACL acl, DWORD revision, DWORD mask, PSID sid) {
    return add_ace("AddAccessAllowedAce", acl, revision, ACCESS_ALLOWED_ACE_TYPE, mask, sid);
}

BOOL AddAccessDeniedAce(PACL acl, DWORD revision, DWORD mask, PSID sid) {
    return add_ace("AddAccessDeniedAce", acl, revision, ACCESS_DENIED_ACE_TYPE, mask, sid);
}

BOOL IsValidAcl(PACL acl) {
    DWORD used;
    return acl && acl_used_size(acl, &used);
}

BOOL InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision) {
    record_call("InitializeSecurityDescriptor", std::to_string(revision));
    if (!descriptor) return fail(ERROR_INVALID_PARAMETER);
    if (revision != SECURITY_DESCRIPTOR_REVISION) return fail(ERROR_UNKNOWN_REVISION);
    std::memset(descriptor, 0, sizeof(SECURITY_DESCRIPTOR));
    static_cast<SECURITY_DESCRIPTOR *>(descriptor)->Revision = SECURITY_DESCRIPTOR_REVISION;
    return TRUE;
}

BOOL SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, BOOL present, PACL dacl,
                               BOOL defaulted) {
    record_call("SetSecurityDescriptorDacl", std::string(present ? "present" : "absent") +
                                                 (defaulted ? " defaulted" : ""));
    SECURITY_DESCRIPTOR *sd = static_cast<SECURITY_DESCRIPTOR *>(descriptor);
    if (!sd) return fail(ERROR_INVALID_PARAMETER);
    if (sd->Revision != SECURITY_DESCRIPTOR_REVISION) return fail(ERROR_UNKNOWN_REVISION);
    if (sd->Control & SE_SELF_RELATIVE) return fail(ERROR_INVALID_SECURITY_DESCR);
    sd->Control &= (WORD) ~(SE_DACL_PRESENT | SE_DACL_DEFAULTED);
    sd->Dacl = nullptr;
    if (present) {
        sd->Control |= SE_DACL_PRESENT;
        sd->Dacl = dacl;
        if (defaulted) sd->Control |= SE_DACL_DEFAULTED;
    }
    return TRUE;
}

BOOL IsValidSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor) {
    DescriptorParts parts;
    return read_descriptor(descriptor, (DWORD)-1, &parts);
}

DWORD GetSecurityDescriptorLength(PSECURITY_DESCRIPTOR descriptor) {
    return descriptor_length(descriptor);
}
