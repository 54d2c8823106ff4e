// The plan is kept whole or not at all: on the NT family whatever its size, on Windows 98/ME
// only within the most they keep in one value; a later run reads the value whatever its size.
#include "removal/kept_plan_writer.h"

#include <string>

#include "base/os_class.h"
#include "inventory/kept_plan.h"
#include "support/sim_test.h"

namespace {

const char *const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset";
const size_t kEntrySize = 120;  // each file entry in the plan, with its kind and terminator

struct PlanSize {
    const char *name;
    int os_class;
    int files;
    bool kept;
};

void PrintTo(const PlanSize &c, std::ostream *out) { *out << c.name; }

class KeptPlanSize : public SimTest, public ::testing::WithParamInterface<PlanSize> {};

TEST_P(KeptPlanSize, IsKeptWholeOrNotAtAll) {
    run_record record = new_record(GetParam().os_class);
    strcpy(record.uninstall_key, kUninstallKey);
    machine.registry.create(kUninstallKey);
    for (int i = 0; i < GetParam().files; ++i) {
        std::string path = "C:\\WINDOWS\\system32\\drivers\\K440dT" + std::to_string(100000 + i) +
                           std::string(kEntrySize - 46, 'x') + ".sys";
        push_string(&record.files_to_delete, path.c_str());
    }
    EXPECT_EQ(GetParam().kept, write_kept_plan(&record) == 1);
    const sim::RegValue *value = machine.registry.find(kUninstallKey)->value(REMOVAL_PLAN_VALUE);
    EXPECT_EQ(GetParam().kept ? GetParam().files * kEntrySize + 1 : 0, value ? value->data.size() : 0)
        << "the whole plan and its closing terminator, or nothing";
    kept_plan plan{};
    EXPECT_EQ(GetParam().kept, read_kept_plan(&record, &plan) == 1);
    merge_kept_plan(&plan, &record);
    free_run_lists(&record);
}

INSTANTIATE_TEST_SUITE_P(
    Families, KeptPlanSize,
    ::testing::Values(PlanSize{"xp_over_16000_bytes", OS_WINXP, 200, true},
                      PlanSize{"me_within_16000_bytes", OS_WINME, 133, true},
                      PlanSize{"me_over_16000_bytes", OS_WINME, 134, false}),
    [](const ::testing::TestParamInfo<PlanSize> &info) { return std::string(info.param.name); });

}  // namespace
