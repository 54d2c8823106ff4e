// The plan a cut-off run kept: an entry is taken only when it passes the checks of a fresh
// finding on this family; an entry cut off inside the value is not taken.
#include "inventory/kept_plan.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/os_class.h"
#include "inventory/collect_inventory.h"
#include "inventory/inventory_support.h"
#include "support/device_machine.h"
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

// Entries a plan may hold that the fresh inventory does not find: each is taken only where the
// machine as it is now vouches for it, by the rules of a fresh finding, or is gone already.
struct HostileCase {
    const char *name;
    int os_class;
    std::u16string entry;   // as stored, kind first
    bool terminated;
    const char *listed_as;  // the entry's text as the lists would hold it
    bool taken;
};

void PrintTo(const HostileCase &c, std::ostream *out) { *out << c.name; }

const int NT = OS_WINXP;
const int ME = OS_WINME;

const std::vector<HostileCase> kEntries = {
    {"system_file", NT, u"FC:\\WINDOWS\\system32\\kernel32.dll", true,
     "C:\\WINDOWS\\system32\\kernel32.dll", false},
    {"install_folder_parent", NT, u"FC:\\Program Files\\halvenor\\x.txt", true,
     "C:\\Program Files\\halvenor\\x.txt", false},
    {"short_name_of_an_outside_file", NT, u"FC:\\PROGRA~1\\halvenor\\x.txt", true,
     "C:\\PROGRA~1\\halvenor\\x.txt", false},
    {"other_vendors_inf", NT, u"FC:\\WINDOWS\\inf\\oem43.inf", true, "C:\\WINDOWS\\inf\\oem43.inf", false},
    {"other_vendors_pnf", NT, u"FC:\\WINDOWS\\inf\\oem43.pnf", true, "C:\\WINDOWS\\inf\\oem43.pnf", false},
    {"other_service", NT, u"KSystem\\CurrentControlSet\\Services\\Tcpip", true,
     "System\\CurrentControlSet\\Services\\Tcpip", false},
    {"yen_sign_read_as_a_backslash", NT, u"FC:\\WINDOWS\\inf\\oem20\u00A5x.inf", true,
     "C:\\WINDOWS\\inf\\oem20\\x.inf", false},
    {"last_entry_without_terminator", NT, u"FC:\\WINDOWS\\inf\\oem20.inf", false,
     "C:\\WINDOWS\\inf\\oem20.inf", false},
    {"driver_file_in_its_folder", NT, u"FC:\\WINDOWS\\system32\\drivers\\K440dTuc.sys", true,
     "C:\\WINDOWS\\system32\\drivers\\K440dTuc.sys", true},
    {"product_inf_by_content", NT, u"FC:\\WINDOWS\\inf\\oem21.inf", true, "C:\\WINDOWS\\inf\\oem21.inf", true},
    {"inf_gone", NT, u"FC:\\WINDOWS\\inf\\oem20.inf", true, "C:\\WINDOWS\\inf\\oem20.inf", true},
    {"service_gone", NT, u"KSystem\\CurrentControlSet\\Services\\K440dTgone", true,
     "System\\CurrentControlSet\\Services\\K440dTgone", true},
    {"pci_enumerator", ME, u"KEnum\\PCI", true, "Enum\\PCI", false},
    {"root_enumerator", ME, u"KEnum\\Root", true, "Enum\\Root", false},
    {"other_device", ME, u"KEnum\\PCI\\VEN_8086&DEV_7110", true, "Enum\\PCI\\VEN_8086&DEV_7110", false},
    {"other_vendors_driver_key", ME, u"KSystem\\CurrentControlSet\\Services\\Class\\Ports\\0006", true,
     "System\\CurrentControlSet\\Services\\Class\\Ports\\0006", false},
    {"system_driver_key", ME, u"KSystem\\CurrentControlSet\\Services\\Class\\Modem\\0000", true,
     "System\\CurrentControlSet\\Services\\Class\\Modem\\0000", false},
    {"marked_driver_key", ME, u"KSystem\\CurrentControlSet\\Services\\Class\\Ports\\0005", true,
     "System\\CurrentControlSet\\Services\\Class\\Ports\\0005", true},
};

// A machine of the family with the driver set and the places the hostile entries name.
class HostilePlan : public SimTest {
  protected:
    void plant(int os_class) {
        use_os(os_class);
        if (os_class < OS_FIRST_NT) return load_fixture("legacy-driver-set");
        load_fixture("nt-driver-set");
        for (const char *file : {"C:\\WINDOWS\\system32\\kernel32.dll", "C:\\WINDOWS\\win.ini",
                                 "C:\\Program Files\\halvenor\\x.txt"})
            machine.files.write_file(file, "not the product's");
        machine.files.find("C:\\Program Files")->short_name = "PROGRA~1";
        plant_inf(machine, "oem43.inf", inf_text("uninstallable", "USB\\VID_04BB&PID_0001"));
        plant_inf(machine, "oem21.inf", inf_text("uninstallable", "USB\\VID_FFFF&PID_0001"));
        machine.registry.set_string("System\\CurrentControlSet\\Services\\Tcpip", "ImagePath",
                                    "System32\\DRIVERS\\tcpip.sys");
    }

    // Kept in the uninstall record as a cut-off run leaves it.
    void plant_plan(const std::u16string &entries, bool terminated) {
        machine.registry.set_unicode_string(
            "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset", "RemovalPlan",
            REG_MULTI_SZ, terminated ? entries + u'\0' : entries, terminated);
    }

    bool exists(const std::string &place) {
        return machine.files.exists(place) || machine.registry.find(place) != nullptr;
    }
};

class PlanEntryVouching : public HostilePlan, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(PlanEntryVouching, TakesOnlyWhatTheMachineVouchesFor) {
    plant(GetParam().os_class);
    plant_plan(GetParam().entry, GetParam().terminated);
    run_record record = new_record(GetParam().os_class);
    collect_inventory(&record);
    std::vector<std::string> listed = texts(record.files_to_delete);
    for (const std::string &key : texts(record.keys_to_delete)) listed.push_back(key);
    EXPECT_EQ(GetParam().taken,
              std::find(listed.begin(), listed.end(), GetParam().listed_as) != listed.end())
        << GetParam().listed_as;
    free_run_lists(&record);
}

INSTANTIATE_TEST_SUITE_P(Entries, PlanEntryVouching, ::testing::ValuesIn(kEntries),
                         [](const ::testing::TestParamInfo<HostileCase> &info) {
                             return std::string(info.param.name);
                         });

// Every refused entry of a family in one plan: the quiet run still removes the driver set and
// leaves each place the plan named.
class HostilePlanRun : public HostilePlan, public ::testing::WithParamInterface<int> {};

TEST_P(HostilePlanRun, RemovesTheDriverSetAndLeavesWhatOnlyThePlanNamed) {
    plant(GetParam());
    std::u16string plan;
    std::vector<std::string> places;
    for (const HostileCase &c : kEntries) {
        if (c.os_class != GetParam() || c.taken || !c.terminated || !exists(c.listed_as)) continue;
        plan += c.entry + u'\0';
        places.push_back(c.listed_as);
    }
    ASSERT_GE(places.size(), 5u);
    plant_plan(plan, true);
    EXPECT_EQ(2, run("-quiet")) << "the driver set is removed as without the plan";
    EXPECT_FALSE(machine.registry.find(
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset"))
        << "the run finished";
    for (const std::string &place : places) EXPECT_TRUE(exists(place)) << place << " must stay";
}

INSTANTIATE_TEST_SUITE_P(Families, HostilePlanRun, ::testing::Values(NT, ME),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return std::string(info.param == NT ? "windows_xp" : "windows_me");
                         });

}  // namespace
