// The plan is kept whole or not at all: on the NT family whatever its size, on Windows 98/ME
// only within the most they keep in one value; a later run reads back every entry.
#include "removal/kept_plan_writer.h"

#include <string>
#include <vector>

#include "base/os_class.h"
#include "inventory/inventory_support.h"
#include "inventory/kept_plan.h"
#include "support/sim_test.h"

namespace {

const char *const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset";

struct PlanSize {
    const char *name;
    int os_class;
    int files;  // of 120 bytes each in the plan
    bool kept;
};

void PrintTo(const PlanSize &c, std::ostream *out) { *out << c.name; }

class KeptPlanSize : public SimTest, public ::testing::WithParamInterface<PlanSize> {};

TEST_P(KeptPlanSize, IsKeptWholeOrNotAtAll) {
    run_record record = new_record(GetParam().os_class);
    strcpy(record.uninstall_key, kUninstallKey);
    machine.registry.create(kUninstallKey);
    std::vector<std::string> planned;  // in plan order
    for (int i = 0; i < GetParam().files; ++i) {
        std::string path = "C:\\WINDOWS\\system32\\drivers\\K440dT" + std::string(76, 'x') +
                           std::to_string(1000 + i) + ".sys";
        push_string(&record.files_to_delete, path.c_str());
        planned.insert(planned.begin(), path);
    }
    EXPECT_EQ(GetParam().kept, write_kept_plan(&record) == 1);
    kept_plan plan{};
    EXPECT_EQ(GetParam().kept, read_kept_plan(&record, &plan) == 1);
    std::vector<std::string> wanted;  // read back last entry first
    if (GetParam().kept) wanted.assign(planned.rbegin(), planned.rend());
    EXPECT_EQ(wanted, texts(plan.files_to_delete));
    merge_kept_plan(&plan, &record);
    free_run_lists(&record);
}

INSTANTIATE_TEST_SUITE_P(
    Families, KeptPlanSize,
    ::testing::Values(PlanSize{"xp_within_16000_bytes", OS_WINXP, 130, true},
                      PlanSize{"xp_over_16000_bytes", OS_WINXP, 200, true},
                      PlanSize{"win2000_over_16000_bytes", OS_WIN2000, 200, true},
                      PlanSize{"me_within_16000_bytes", OS_WINME, 130, true},
                      PlanSize{"me_over_16000_bytes", OS_WINME, 134, false}),
    [](const ::testing::TestParamInfo<PlanSize> &info) { return std::string(info.param.name); });

}  // namespace
