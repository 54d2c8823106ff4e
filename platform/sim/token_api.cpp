// SIDs and the process token of the simulated platform: the token's groups come from the
// process's Token model, and every call can be made to fail from it.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "handle_table.h"
#include "machine.h"
#include "security_api.h"
#include "sid_text.h"
#include "system_api.h"

using namespace sim;

namespace {

std::map<uintptr_t, DWORD> g_tokens;  // token handle -> access

bool close_token(HANDLE handle) {
    auto it = g_tokens.find(reinterpret_cast<uintptr_t>(handle));
    if (it == g_tokens.end()) return false;
    g_tokens.erase(it);
    --current_process().open_handles;
    return true;
}

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

const char *const known_privileges[] = {
    "", "", "SeCreateTokenPrivilege", "SeAssignPrimaryTokenPrivilege", "SeLockMemoryPrivilege",
    "SeIncreaseQuotaPrivilege", "SeMachineAccountPrivilege", "SeTcbPrivilege",
    "SeSecurityPrivilege", "SeTakeOwnershipPrivilege", "SeLoadDriverPrivilege",
    "SeSystemProfilePrivilege", "SeSystemtimePrivilege", "SeProfileSingleProcessPrivilege",
    "SeIncreaseBasePriorityPrivilege", "SeCreatePagefilePrivilege", "SeCreatePermanentPrivilege",
    "SeBackupPrivilege", "SeRestorePrivilege", "SeShutdownPrivilege", "SeDebugPrivilege",
    "SeAuditPrivilege", "SeSystemEnvironmentPrivilege", "SeChangeNotifyPrivilege"};
const int privilege_count = sizeof known_privileges / sizeof known_privileges[0];

}  // namespace

BOOL AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD sub0,
                              DWORD sub1, DWORD sub2, DWORD sub3, DWORD sub4, DWORD sub5,
                              DWORD sub6, DWORD sub7, PSID *sid) {
    record_call("AllocateAndInitializeSid", std::to_string(count) + " " + std::to_string(sub0) +
                                                " " + std::to_string(sub1));
    if (!authority || !sid || count > 8) return fail(ERROR_INVALID_PARAMETER);
    DWORD error;
    if (current_machine().take_fault("AllocateAndInitializeSid", "", &error)) return fail(error);
    size_t size = 8 + 4 * (size_t)count;
    BYTE *bytes = static_cast<BYTE *>(std::calloc(1, size < sizeof(SID) ? sizeof(SID) : size));
    if (!bytes) return fail(ERROR_NOT_ENOUGH_MEMORY);
    bytes[0] = 1;
    bytes[1] = count;
    std::memcpy(bytes + 2, authority->Value, 6);
    DWORD subs[8] = {sub0, sub1, sub2, sub3, sub4, sub5, sub6, sub7};
    std::memcpy(bytes + 8, subs, 4 * (size_t)count);
    *sid = bytes;
    ++current_process().open_handles;  // a SID is released with FreeSid, like a handle
    return TRUE;
}

PVOID FreeSid(PSID sid) {
    record_call("FreeSid", "");
    if (sid) {
        std::free(sid);
        --current_process().open_handles;
    }
    return nullptr;
}

DWORD GetLengthSid(PSID sid) {
    return sid ? 8 + 4 * (DWORD) static_cast<const SID *>(sid)->SubAuthorityCount : 0;
}

BOOL IsValidSid(PSID sid) { return !sid_to_text(sid).empty(); }

BOOL EqualSid(PSID a, PSID b) {
    std::string ta = sid_to_text(a), tb = sid_to_text(b);
    SetLastError(ERROR_SUCCESS);
    return !ta.empty() && ta == tb;
}

BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) {
    record_call("OpenProcessToken", hex(access));
    Process &p = current_process();
    if (!token) return fail(ERROR_INVALID_PARAMETER);
    *token = nullptr;
    if (!p.machine->is_nt()) return fail(ERROR_CALL_NOT_IMPLEMENTED);
    if (process != GetCurrentProcess()) return fail(ERROR_INVALID_HANDLE);
    if (p.token.open_fails) return fail(ERROR_ACCESS_DENIED);
    add_handle_closer(close_token);
    uintptr_t number = new_handle_number();
    g_tokens[number] = access;
    ++p.open_handles;
    *token = reinterpret_cast<HANDLE>(number);
    return TRUE;
}

// TokenGroups is laid out as on Windows: the count, the array of SID pointers and
// attributes, then the SIDs themselves inside the same buffer.
BOOL GetTokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID buffer, DWORD size,
                         PDWORD needed) {
    record_call("GetTokenInformation", std::to_string((int)kind) + " " + std::to_string(size));
    Process &p = current_process();
    auto it = g_tokens.find(reinterpret_cast<uintptr_t>(token));
    if (it == g_tokens.end()) return fail(ERROR_INVALID_HANDLE);
    if (!(it->second & TOKEN_QUERY)) return fail(ERROR_ACCESS_DENIED);
    if (p.token.query_fails) return fail(ERROR_ACCESS_DENIED);
    if (kind != TokenGroups) return fail(ERROR_INVALID_PARAMETER);
    std::vector<std::vector<uint8_t>> sids;
    for (const TokenGroup &g : p.token.groups) sids.push_back(sid_from_text(g.sid));
    size_t header = offsetof(TOKEN_GROUPS, Groups) + sizeof(SID_AND_ATTRIBUTES) * sids.size();
    if (sids.empty()) header = sizeof(TOKEN_GROUPS);
    size_t total = header;
    for (const auto &s : sids) total += s.size();
    if (needed) *needed = (DWORD)total;
    if (!buffer || size < total) return fail(ERROR_INSUFFICIENT_BUFFER);
    BYTE *out = static_cast<BYTE *>(buffer);
    TOKEN_GROUPS *groups = static_cast<TOKEN_GROUPS *>(buffer);
    groups->GroupCount = (DWORD)sids.size();
    size_t offset = header;
    for (size_t i = 0; i < sids.size(); ++i) {
        std::memcpy(out + offset, sids[i].data(), sids[i].size());
        groups->Groups[i].Sid = out + offset;
        groups->Groups[i].Attributes =
            p.token.groups[i].deny_only ? SE_GROUP_USE_FOR_DENY_ONLY
                                        : (SE_GROUP_MANDATORY | SE_GROUP_ENABLED_BY_DEFAULT |
                                           SE_GROUP_ENABLED);
        offset += sids[i].size();
    }
    return TRUE;
}

BOOL LookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid) {
    record_call("LookupPrivilegeValueA", std::string(system ? system : "") + " " + (name ? name : ""));
    if (!name || !luid) return fail(ERROR_INVALID_PARAMETER);
    for (int i = 2; i < privilege_count; ++i) {
        if (std::strcmp(known_privileges[i], name) == 0) {
            luid->LowPart = (DWORD)i;
            luid->HighPart = 0;
            return TRUE;
        }
    }
    return fail(ERROR_NO_SUCH_PRIVILEGE);
}

BOOL AdjustTokenPrivileges(HANDLE token, BOOL disable_all, PTOKEN_PRIVILEGES state, DWORD size,
                           PTOKEN_PRIVILEGES previous, PDWORD needed) {
    (void)size;
    (void)previous;
    (void)needed;
    record_call("AdjustTokenPrivileges", std::string(disable_all ? "disable-all " : "") +
                                             (state ? std::to_string(state->PrivilegeCount) : "-"));
    Process &p = current_process();
    auto it = g_tokens.find(reinterpret_cast<uintptr_t>(token));
    if (it == g_tokens.end()) return fail(ERROR_INVALID_HANDLE);
    if (!(it->second & TOKEN_ADJUST_PRIVILEGES)) return fail(ERROR_ACCESS_DENIED);
    if (disable_all || !state) {
        p.token.enabled_privileges.clear();
        SetLastError(ERROR_SUCCESS);
        return TRUE;
    }
    bool all_assigned = true;
    for (DWORD i = 0; i < state->PrivilegeCount; ++i) {
        DWORD id = state->Privileges[i].Luid.LowPart;
        if (id >= (DWORD)privilege_count) {
            all_assigned = false;
            continue;
        }
        std::string name = known_privileges[id];
        bool held = false;
        for (const std::string &h : p.token.privileges) held = held || h == name;
        if (!held) {
            all_assigned = false;
            continue;
        }
        auto &enabled = p.token.enabled_privileges;
        bool on = state->Privileges[i].Attributes & SE_PRIVILEGE_ENABLED;
        auto found = std::find(enabled.begin(), enabled.end(), name);
        if (on && found == enabled.end()) enabled.push_back(name);
        if (!on && found != enabled.end()) enabled.erase(found);
    }
    SetLastError(all_assigned ? ERROR_SUCCESS : ERROR_NOT_ALL_ASSIGNED);
    return TRUE;
}
