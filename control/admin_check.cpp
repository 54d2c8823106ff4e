#include "control/admin_check.h"

#include <stdlib.h>

#include "base/os_class.h"
#include "platform/win32.h"

int administrator_check(int os_class) {
    if (os_class < OS_WIN2000) return 1;  // Windows 98/ME knows no administrative rights
    return is_administrator(DOMAIN_ALIAS_RID_ADMINS);
}

// Membership alone counts: a group the token holds only for deny checks (a filtered
// administrator) still passes, since its attributes are not looked at.
int is_administrator(unsigned long group_rid) {
    SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
    PSID group = 0;
    if (!AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID, (DWORD)group_rid,
                                  0, 0, 0, 0, 0, 0, &group))
        return 0;
    int member = 0;
    HANDLE token = 0;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        DWORD needed = 0;
        GetTokenInformation(token, TokenGroups, 0, 0, &needed);
        TOKEN_GROUPS *groups = needed ? (TOKEN_GROUPS *)malloc(needed) : 0;
        if (groups && GetTokenInformation(token, TokenGroups, groups, needed, &needed)) {
            for (DWORD i = 0; i < groups->GroupCount && !member; ++i)
                member = EqualSid(groups->Groups[i].Sid, group) ? 1 : 0;
        }
        free(groups);
        CloseHandle(token);
    }
    FreeSid(group);
    return member;
}
