// A whole quiet run on NT machines that hold the driver set beside look-alikes: registry and
// files are compared whole before and after the run and after the restart, so that a missing
// deletion and an unexpected one both show.
#include <set>
#include <string>
#include <vector>

#include "base/os_class.h"
#include "sim/restart_model.h"
#include "sim/snapshot_lines.h"
#include "support/expected_removals.h"
#include "support/sim_test.h"

namespace {

const char *const kProgram = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe";
const char *const kSubfolder = "C:\\Program Files\\halvenor\\K440dT\\Drivers";
const char *const kUsbFlags = "System\\CurrentControlSet\\Control\\UsbFlags";

class NtWholeRun : public SimTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(GetParam());
        load_fixture("nt-driver-set");
        std::string error;
        ASSERT_TRUE(read_expected_removals("nt-driver-set", &expected, &error)) << error;
        registry_before = registry_lines(registry_snapshot());
        files_before = file_lines(files_snapshot());
    }

    line_set expected_registry_removals() const {
        line_set out;
        for (const std::string &k : expected.keys) {
            line_set under = lines_under(registry_before, k);
            EXPECT_FALSE(under.empty()) << "the fixture should plant " << k;
            out.insert(under.begin(), under.end());
        }
        for (const auto &v : expected.values) {
            line_set flag = lines_under(registry_before, v.first + "|  \"" + v.second + "\"");
            EXPECT_EQ(1u, flag.size()) << "the fixture should plant the value " << v.second;
            out.insert(flag.begin(), flag.end());
        }
        return out;
    }

    line_set expected_file_removals() const {
        line_set out;
        for (const std::string &f : expected.files) {
            line_set file = lines_under(files_before, f);
            EXPECT_EQ(1u, file.size()) << "the fixture should plant " << f;
            out.insert(file.begin(), file.end());
        }
        return out;
    }

    expected_removals expected;
    line_set registry_before, files_before;
};

TEST_P(NtWholeRun, QuietRunRemovesExactlyTheDriverSet) {
    ASSERT_EQ(2, run("-quiet")) << "a quiet run that removed devices ends asking for a restart";

    line_set registry_after = registry_lines(registry_snapshot());
    EXPECT_EQ(joined(expected_registry_removals()), joined(minus(registry_before, registry_after)))
        << "exactly the driver set's keys and flags should be gone";
    EXPECT_EQ("", joined(minus(registry_after, registry_before))) << "nothing should be added";

    line_set files_after = file_lines(files_snapshot());
    line_set gone = minus(files_before, files_after);
    line_set changed_program = lines_under(gone, kProgram);
    for (const std::string &l : changed_program) gone.erase(l);
    EXPECT_EQ(joined(expected_file_removals()), joined(gone))
        << "exactly the driver set's files should be gone";
    const std::string program_aside = "C:\\Program Files\\halvenor\\K440dT\\K440dT_del0.tmp";
    EXPECT_TRUE(machine.files.exists(program_aside))
        << "the running program stays until the restart, set aside under a name of its own";
    EXPECT_TRUE(machine.files.exists(kSubfolder)) << "the subfolder stays until the restart";
    line_set added = minus(files_after, files_before);
    EXPECT_EQ(joined(lines_under(added, program_aside)), joined(added))
        << "only the program set aside, its attributes cleared for the delayed deletion";
}

TEST_P(NtWholeRun, RestartTakesTheProgramAndTheSubfolder) {
    ASSERT_EQ(2, run("-quiet"));
    ASSERT_EQ(2u, machine.pending_renames.size()) << "the program and the subfolder are handed over";
    for (const sim::PendingRename &r : machine.pending_renames)
        EXPECT_EQ("", r.target) << r.source << " should be deleted, not moved, at the restart";
    line_set files_after_run = file_lines(files_snapshot());

    sim::carry_out_restart(machine);
    for (const std::string &f : expected.files_at_restart)
        EXPECT_FALSE(machine.files.exists(f)) << f << " is gone after the restart";
    line_set gone = minus(files_after_run, file_lines(files_snapshot()));
    EXPECT_EQ(expected.files_at_restart.size(), gone.size())
        << "the restart deletes nothing else:\n" << joined(gone);
    EXPECT_TRUE(machine.files.exists("C:\\Program Files\\halvenor\\K440dT"))
        << "the install folder itself is never removed";
}

TEST_P(NtWholeRun, LookAlikesSurvive) {
    ASSERT_EQ(2, run("-quiet"));
    for (const char *key : {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other Modem Tools",
                            "Software\\TAVO\\{0B1C2D3E-0000-4000-8000-000000000001}",
                            "System\\CurrentControlSet\\Services\\K440dTucOld",
                            "System\\CurrentControlSet\\Services\\K440dTwh",
                            "System\\CurrentControlSet\\Services\\OtherUsbSer"})
        EXPECT_NE(nullptr, machine.registry.find(key)) << key << " must survive";
    EXPECT_TRUE(machine.registry.has_value(kUsbFlags, "IgnoreHWSerNum04BB0001"))
        << "another device's UsbFlags value must survive";
    for (const char *file : {"C:\\Temp\\K440dTuc.sys", "C:\\Program Files\\halvenor\\Other\\K440dTUn.exe",
                             "C:\\WINDOWS\\inf\\oem13.inf", "C:\\WINDOWS\\system32\\K440dTox.sys",
                             "C:\\WINDOWS\\system32\\drivers\\K440dTuc.sys.old"})
        EXPECT_TRUE(machine.files.exists(file)) << file << " must survive";
}

// Under Wine a lookup of a name that is not there reads the whole folder, and the INF folder
// holds hundreds of files: it is listed once, no name is looked up there that is not there,
// and nothing is deleted twice.
TEST_P(NtWholeRun, TouchesTheInfFolderOnlyForWhatIsThere) {
    const std::string inf = "c:\\windows\\inf\\";
    std::set<std::string> there;
    for (const std::string &p : machine.files.list_all())
        if (lower(p).compare(0, inf.size(), inf) == 0) there.insert(lower(p));
    ASSERT_EQ(2, run("-quiet"));
    int listings = 0, missing = 0, deletions = 0;
    for (const sim::Call &c : machine.calls) {
        std::string path = lower(c.detail);
        if (path.compare(0, inf.size(), inf) != 0) continue;
        if (c.function == "FindFirstFileW" || c.function == "FindFirstFileA") {
            ++listings;
            continue;
        }
        if (c.function == "SetFileAttributesA") path = path.substr(0, path.rfind(' '));
        missing += !there.count(path);
        deletions += c.function == "DeleteFileA";
    }
    EXPECT_EQ(1, listings);
    EXPECT_EQ(0, missing) << "a name that is not there is never looked up";
    EXPECT_EQ(GetParam() >= OS_WINXP ? 2 : 4, deletions)
        << "the fixed list's INF and PNF, and without the platform's uninstall the OEM copy's";
}

INSTANTIATE_TEST_SUITE_P(NtSystems, NtWholeRun, ::testing::Values(OS_WIN2000, OS_WINXP, OS_WIN2003));

}  // namespace
