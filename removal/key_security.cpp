#include "removal/key_security.h"

#include <stdlib.h>

#include "base/registry_view.h"

int save_key_security(const char *key_path, PSECURITY_DESCRIPTOR *saved) {
    *saved = 0;
    HKEY key;
    if (open_machine_key(key_path, READ_CONTROL, &key) != ERROR_SUCCESS)
        return 0;
    // Asked without storage, the call fails with ERROR_INSUFFICIENT_BUFFER and tells the size
    // the descriptor needs; a size of 0 on any other failure leaves nothing to read.
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, 0, &size);
    PSECURITY_DESCRIPTOR storage = size ? malloc(size) : 0;
    int done = 0;
    if (storage &&
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, storage, &size) == ERROR_SUCCESS)
        done = 1;
    RegCloseKey(key);
    if (!done) {
        free(storage);
        return 0;
    }
    *saved = storage;
    return 1;
}

void release_key_security(PSECURITY_DESCRIPTOR saved) { free(saved); }

// The list has one entry: its length is the SID's plus 8 bytes of list header and 8 of entry
// header and mask.
int grant_key_access(const char *key_path, DWORD access) {
    HKEY key;
    if (open_machine_key(key_path, WRITE_DAC, &key) != ERROR_SUCCESS) return 0;
    SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
    PSID interactive = 0;
    if (!AllocateAndInitializeSid(&nt_authority, 1, SECURITY_INTERACTIVE_RID, 0, 0, 0, 0, 0, 0, 0,
                                  &interactive)) {
        RegCloseKey(key);
        return 0;
    }
    DWORD length = GetLengthSid(interactive) + 16;
    PACL acl = (PACL)malloc(length);
    SECURITY_DESCRIPTOR descriptor;
    int done = acl && InitializeAcl(acl, length, ACL_REVISION) &&
               AddAccessAllowedAce(acl, ACL_REVISION, access, interactive) &&
               InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
               SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) &&
               RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
    RegCloseKey(key);
    free(acl);
    FreeSid(interactive);
    return done ? 1 : 0;
}

int restore_key_security(const char *key_path, PSECURITY_DESCRIPTOR saved) {
    HKEY key;
    if (open_machine_key(key_path, WRITE_DAC, &key) != ERROR_SUCCESS) return 0;
    LONG rc = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}
