// The plan a cut-off run kept: an entry is taken only when it passes the checks of a fresh
// finding on this family; an entry cut off inside the value is not taken.
#include "inventory/kept_plan.h"

#include <string>
#include <vector>

#include "base/os_class.h"
#include "inventory/inventory_support.h"
#include "support/sim_test.h"

namespace {

#define OEM_NAMES "Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\SetupX\\INF\\OEM Name"

struct PlanCase {
    const char *name;
    int os_class;
    std::vector<std::string> entries;  // each led by its kind
    std::vector<std::string> files, keys, values;  // taken, last entry first; values "key|name"
};

void PrintTo(const PlanCase &c, std::ostream *out) { *out << c.name; }

std::vector<std::string> pairs(const value_pair_entry *list) {
    std::vector<std::string> out;
    for (; list; list = list->next) out.push_back(std::string(list->key_path) + "|" + list->value_name);
    return out;
}

class KeptPlan : public SimTest, public ::testing::WithParamInterface<PlanCase> {};

TEST_P(KeptPlan, TakesOnlyWhatAFreshFindingCouldBe) {
    std::string data;
    for (const std::string &e : GetParam().entries) data += e + '\0';
    data += '\0';
    run_record record = new_record(GetParam().os_class);
    kept_plan plan{};
    parse_kept_plan(&record, data.data(), (unsigned long)data.size(), &plan);
    EXPECT_EQ(GetParam().files, texts(plan.files_to_delete));
    EXPECT_EQ(GetParam().keys, texts(plan.keys_to_delete));
    EXPECT_EQ(GetParam().values, pairs(plan.values_to_delete));
    merge_kept_plan(&plan, &record);
    free_run_lists(&record);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, KeptPlan,
    ::testing::Values(
        PlanCase{"nt_files",
                 OS_WINXP,
                 {"FC:\\WINDOWS\\system32\\drivers\\k440bus.sys", "Fdrivers\\k440bus.sys",
                  "FC:\\Program Files\\K440dT\\..\\..\\x.sys", "FC:\\WINDOWS\\\\x.sys", "Fk440bus.sys",
                  "XC:\\unknown kind.sys"},
                 {"C:\\WINDOWS\\system32\\drivers\\k440bus.sys"},
                 {},
                 {}},
        PlanCase{"nt_keys",
                 OS_WINXP,
                 {"KSystem\\CurrentControlSet\\Services\\k440bus", "KSystem\\CurrentControlSet\\Services",
                  "KSystem\\CurrentControlSet\\Services\\k440bus\\Enum", "KSoftware\\Microsoft\\Windows",
                  "KEnum\\USB\\VID_1234&PID_0001", "V" OEM_NAMES, "NK440dT.inf"},
                 {},
                 {"System\\CurrentControlSet\\Services\\k440bus"},
                 {}},
        PlanCase{"me_keys_and_values",
                 OS_WINME,
                 {"KEnum\\USB\\VID_1234&PID_0001", "KEnum\\USB\\VID_1234&PID_0001\\5&1",
                  "KEnum", "KSystem\\CurrentControlSet\\Services\\Class\\Modem\\0001",
                  "KSystem\\CurrentControlSet\\Services\\Class\\Modem", "V" OEM_NAMES, "NK440dTmdm.inf",
                  "V" OEM_NAMES, "Nusbmodem.inf", "NK440dT.inf", "VSoftware\\Other", "NK440dT.inf"},
                 {},
                 {"System\\CurrentControlSet\\Services\\Class\\Modem\\0001", "Enum\\USB\\VID_1234&PID_0001"},
                 {OEM_NAMES "|K440dTmdm.inf"}}),
    [](const ::testing::TestParamInfo<PlanCase> &info) { return std::string(info.param.name); });

class KeptPlanValue : public SimTest {};

TEST_F(KeptPlanValue, EntryCutOffInsideTheValueIsNotTaken) {
    const std::string whole = std::string("FC:\\WINDOWS\\inf\\oem3.inf") + '\0' + "FC:\\WINDOWS\\inf\\oem4.inf";
    run_record record = new_record(OS_WINXP);
    kept_plan plan{};
    parse_kept_plan(&record, whole.data(), (unsigned long)whole.size(), &plan);
    EXPECT_EQ(std::vector<std::string>{"C:\\WINDOWS\\inf\\oem3.inf"}, texts(plan.files_to_delete));
    merge_kept_plan(&plan, &record);
    free_run_lists(&record);
}

}  // namespace
