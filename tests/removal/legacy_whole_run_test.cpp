// A whole quiet run on Windows 98, 98 SE and ME machines that hold the driver set beside
// look-alikes: the registry and the file system are compared whole before and after the run
// and after the restart, so that a missing deletion and an unexpected one both show.
#include <string>
#include <vector>

#include "base/os_class.h"
#include "sim/restart_model.h"
#include "sim/snapshot_lines.h"
#include "support/expected_removals.h"
#include "support/sim_test.h"

namespace {

const char *const kClass = "System\\CurrentControlSet\\Services\\Class\\";
const char *const kProgram = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe";

line_set lines_under_any(const line_set &lines, const std::vector<std::string> &paths) {
    line_set out;
    for (const std::string &p : paths) {
        line_set some = lines_under(lines, p);
        out.insert(some.begin(), some.end());
    }
    return out;
}

}  // namespace

class LegacyWholeRun : public SimTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(GetParam());
        load_fixture("legacy-driver-set");
        process.module_path = kProgram;
        std::string error;
        ASSERT_TRUE(read_expected_removals("legacy-driver-set", &expected, &error)) << error;
    }

    std::vector<std::string> keys_gone() const {
        std::vector<std::string> keys = expected.keys;
        if (GetParam() == OS_WINME)
            keys.insert(keys.end(), expected.keys_on_me.begin(), expected.keys_on_me.end());
        return keys;
    }

    expected_removals expected;
};

TEST_P(LegacyWholeRun, QuietRunRemovesTheDriverSetAndNothingElse) {
    line_set registry_before = registry_lines(registry_snapshot());
    line_set files_before = file_lines(files_snapshot());

    EXPECT_EQ(2, run("-quiet")) << "a Windows 98/ME removal always asks for a restart";

    line_set registry_after = registry_lines(registry_snapshot());
    line_set expected_gone = lines_under_any(registry_before, keys_gone());
    for (const auto &value : expected.values) {
        line_set one = lines_under(registry_before, value.first + "|  \"" + value.second + "\"");
        expected_gone.insert(one.begin(), one.end());
    }
    EXPECT_EQ(joined(expected_gone), joined(minus(registry_before, registry_after)))
        << "registry entries removed by the run";
    EXPECT_EQ("", joined(minus(registry_after, registry_before))) << "registry entries the run added";

    line_set files_after = file_lines(files_snapshot());
    std::vector<std::string> files_gone = expected.files;
    files_gone.push_back("C:\\WINDOWS\\wininit.ini");  // changed: the new lines
    EXPECT_EQ(joined(lines_under_any(files_before, files_gone)), joined(minus(files_before, files_after)))
        << "files removed (or changed) by the run";
    line_set added = minus(files_after, files_before);
    ASSERT_EQ(1u, added.size()) << "only wininit.ini changes:\n" << joined(added);
    EXPECT_EQ(0u, added.begin()->find("C:\\WINDOWS\\wininit.ini ")) << joined(added);

    sim::carry_out_restart(machine);
    line_set files_restarted = file_lines(files_snapshot());
    files_gone.insert(files_gone.end(), expected.files_at_restart.begin(),
                      expected.files_at_restart.end());
    files_gone.push_back("C:\\TEMP\\OTHERAPP.TMP");  // named in the fixture's own wininit.ini
    EXPECT_EQ(joined(lines_under_any(files_before, files_gone)), joined(minus(files_before, files_restarted)))
        << "after the restart the program and the other program's leftover are gone too";
    line_set new_files = minus(files_restarted, files_before);
    ASSERT_EQ(1u, new_files.size()) << joined(new_files);
    EXPECT_EQ(0u, new_files.begin()->find("C:\\WINDOWS\\wininit.bak ")) << "no stray file anywhere";
}


INSTANTIATE_TEST_SUITE_P(Windows98AndMe, LegacyWholeRun,
                         ::testing::Values(OS_WIN98, OS_WIN98_SE, OS_WINME));

// A Windows 98 version answer with build 3000 is Windows ME: the storage devices go too.
class LegacyBuild3000 : public SimTest {};

TEST_F(LegacyBuild3000, Windows98WithBuild3000SearchesUsbStorLikeMe) {
    use_os(OS_WIN98);
    machine.version.build = 0x040A0BB8;
    load_fixture("legacy-driver-set");
    process.module_path = kProgram;
    run("-quiet");
    EXPECT_EQ(nullptr, machine.registry.find("Enum\\USBSTOR\\DISK&VEN_ORVANE&PROD_PHONE"));
    EXPECT_EQ(nullptr, machine.registry.find(std::string(kClass) + "DiskDrive\\0003"));
    EXPECT_NE(nullptr, machine.registry.find("Enum\\USBSTOR\\DISK&VEN_OTHER&PROD_STICK"));
}

TEST_F(LegacyBuild3000, Windows98KeepsTheStorageDevices) {
    use_os(OS_WIN98);
    load_fixture("legacy-driver-set");
    process.module_path = kProgram;
    run("-quiet");
    EXPECT_NE(nullptr, machine.registry.find("Enum\\USBSTOR\\DISK&VEN_ORVANE&PROD_PHONE"))
        << "Enum\\USBSTOR is searched on Windows ME only";
    EXPECT_NE(nullptr, machine.registry.find(std::string(kClass) + "DiskDrive\\0003"));
}
