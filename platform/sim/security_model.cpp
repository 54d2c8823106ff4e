#include "security_model.h"

#include "registry_api.h"

namespace sim {

namespace {

TokenGroup group(const char *sid, bool deny_only = false) {
    TokenGroup g;
    g.sid = sid;
    g.deny_only = deny_only;
    return g;
}

Token token_with_admins(bool has_admins, bool deny_only) {
    Token t;
    t.groups.push_back(group("S-1-1-0"));       // Everyone
    t.groups.push_back(group("S-1-5-4"));       // INTERACTIVE
    t.groups.push_back(group("S-1-5-11"));      // Authenticated Users
    t.groups.push_back(group("S-1-5-32-545"));  // Users
    if (has_admins) t.groups.push_back(group("S-1-5-32-544", deny_only));
    t.privileges = {"SeShutdownPrivilege", "SeChangeNotifyPrivilege"};
    t.enabled_privileges = {"SeChangeNotifyPrivilege"};
    return t;
}

// Deny entries match every group the token holds; allow entries skip deny-only groups.
bool token_matches(const Token &token, const std::string &sid, bool for_deny) {
    if (token.user_sid == sid) return true;
    for (const TokenGroup &g : token.groups) {
        if (g.sid != sid) continue;
        if (!g.deny_only || for_deny) return true;
    }
    return false;
}

}  // namespace

Token administrator_token() { return token_with_admins(true, false); }
Token filtered_administrator_token() { return token_with_admins(true, true); }
Token standard_user_token() { return token_with_admins(false, false); }

bool access_granted(const KeySecurity &security, const Token &token, DWORD desired) {
    if (!security.has_dacl) return true;
    DWORD wanted = desired & ~(DWORD)MAXIMUM_ALLOWED;
    DWORD granted = 0;
    // The owner may always read and change the access list.
    if (token_matches(token, security.owner_sid, false)) granted |= READ_CONTROL | WRITE_DAC;
    for (const AccessEntry &ace : security.dacl) {
        if (!token_matches(token, ace.sid, !ace.allow)) continue;
        if (!ace.allow) {
            if (ace.mask & wanted & ~granted) return false;
        } else {
            granted |= ace.mask;
        }
        if ((granted & wanted) == wanted) return true;
    }
    return (granted & wanted) == wanted;
}

}  // namespace sim
