// The administrator check: membership of Administrators in the process token, on the NT
// family only; every failure of the token query counts as "not a member".
#include "base/os_class.h"
#include "base/result_codes.h"
#include "control/admin_check.h"
#include "sim/security_model.h"
#include "support/sim_test.h"

namespace {

class AdminCheck : public SimTest {};

TEST_F(AdminCheck, PassesOnWindows98AndMeWithoutAskingTheToken) {
    for (int os : {OS_WIN98, OS_WIN98_SE, OS_WINME}) {
        use_os(os);
        process.token = sim::standard_user_token();
        EXPECT_EQ(1, administrator_check(os)) << "OS class " << os << " has no rights to check";
    }
    EXPECT_TRUE(machine.calls_to("OpenProcessToken").empty()) << "no token call on Windows 98/ME";
}

TEST_F(AdminCheck, AdministratorPasses) {
    EXPECT_EQ(1, administrator_check(OS_WINXP));
}

TEST_F(AdminCheck, DenyOnlyAdministratorsGroupStillPasses) {
    process.token = sim::filtered_administrator_token();
    EXPECT_EQ(1, administrator_check(OS_WINXP)) << "membership alone counts, not the attributes";
}

TEST_F(AdminCheck, StandardUserIsRefusedWithResult13) {
    for (int os : {OS_WIN2000, OS_WINXP, OS_WIN2003}) {
        use_os(os);
        process.token = sim::standard_user_token();
        EXPECT_EQ(0, administrator_check(os)) << "a standard user on OS class " << os;
        EXPECT_EQ(RESULT_NOT_ADMINISTRATOR, run("-quiet")) << "the run ends with 13 on OS class " << os;
    }
}

TEST_F(AdminCheck, TokenThatCannotBeOpenedOrQueriedCountsAsNoMember) {
    process.token.open_fails = true;
    EXPECT_EQ(0, is_administrator(DOMAIN_ALIAS_RID_ADMINS)) << "token that does not open";
    process.token = sim::administrator_token();
    process.token.query_fails = true;
    EXPECT_EQ(0, is_administrator(DOMAIN_ALIAS_RID_ADMINS)) << "group list that cannot be read";
}

TEST_F(AdminCheck, LooksForTheGivenGroupOfTheBuiltInDomain) {
    EXPECT_EQ(1, is_administrator(DOMAIN_ALIAS_RID_USERS)) << "the token lists Users (545)";
    EXPECT_EQ(0, is_administrator(0x222)) << "the token does not list Guests (546)";
}

}  // namespace
