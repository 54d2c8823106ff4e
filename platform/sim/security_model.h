// Access control of the simulated machine: access lists on registry keys and the process
// token they are checked against. SIDs are kept in their text form ("S-1-5-32-544").
#ifndef K440_SIM_SECURITY_MODEL_H
#define K440_SIM_SECURITY_MODEL_H

#include <string>
#include <vector>

#include "win_types.h"

namespace sim {

struct AccessEntry {
    bool allow = true;
    std::string sid;
    DWORD mask = 0;
    BYTE flags = 0;  // inheritance flags, kept as given
};

// A key's security: the owner and the discretionary access list. A key without an access
// list (has_dacl false) grants every access, as a NULL DACL does on Windows.
struct KeySecurity {
    std::string owner_sid = "S-1-5-32-544";
    std::string group_sid = "S-1-5-18";
    bool has_dacl = false;
    std::vector<AccessEntry> dacl;
};

struct TokenGroup {
    std::string sid;
    bool deny_only = false;
};

struct Token {
    std::string user_sid = "S-1-5-21-1-2-3-1000";
    std::vector<TokenGroup> groups;
    std::vector<std::string> privileges;      // privileges the token holds
    std::vector<std::string> enabled_privileges;
    bool open_fails = false;                  // OpenProcessToken refuses
    bool query_fails = false;                 // GetTokenInformation refuses
};

// The token of an administrator (Administrators group enabled), of one whose
// Administrators group is deny-only (a filtered token), and of a standard user.
Token administrator_token();
Token filtered_administrator_token();
Token standard_user_token();

// The NT access check of `desired` against `security` for `token`. Generic rights are not
// mapped here; callers pass specific rights.
bool access_granted(const KeySecurity &security, const Token &token, DWORD desired);

}  // namespace sim

#endif
