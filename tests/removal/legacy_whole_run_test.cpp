// A whole quiet run on Windows 98, 98 SE and ME machines that hold the driver set beside
// look-alikes: the registry and the file system are compared whole before and after the run
// and after the restart, so that a missing deletion and an unexpected one both show.
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "control/os_class.h"
#include "sim/restart_model.h"
#include "support/sim_test.h"

namespace {

const char *const kClass = "System\\CurrentControlSet\\Services\\Class\\";
const char *const kOemName = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\SetupX\\INF\\OEM Name";
const char *const kProgram = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe";

typedef std::set<std::string> lines;

// One line per key and per value ("key" or "key|value line"), so that a whole export can be
// compared as a set.
lines registry_lines(const std::string &snapshot) {
    lines out;
    std::istringstream in(snapshot);
    std::string line, key;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            key = line.substr(1, line.size() - 2);
            out.insert(key);
        } else {
            out.insert(key + "|" + line);
        }
    }
    return out;
}

lines file_lines(const std::string &snapshot) {
    lines out;
    std::istringstream in(snapshot);
    std::string line;
    while (std::getline(in, line)) out.insert(line);
    return out;
}

bool starts_with_nocase(const std::string &text, const std::string &prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (tolower((unsigned char)text[i]) != tolower((unsigned char)prefix[i])) return false;
    return true;
}

// The lines of `before` that name one of the keys (or a key below one) or one of the values.
lines registry_lines_of(const lines &before, const std::vector<std::string> &keys,
                        const std::vector<std::string> &values) {
    lines out;
    for (const std::string &l : before) {
        std::string key = l.substr(0, l.find('|'));
        for (const std::string &k : keys)
            if (starts_with_nocase(key, k) && (key.size() == k.size() || key[k.size()] == '\\'))
                out.insert(l);
        for (const std::string &v : values)
            if (starts_with_nocase(l, std::string(kOemName) + "|  \"" + v + "\" ")) out.insert(l);
    }
    return out;
}

lines file_lines_of(const lines &before, const std::vector<std::string> &paths) {
    lines out;
    for (const std::string &l : before)
        for (const std::string &p : paths)
            if (starts_with_nocase(l, p + " ")) out.insert(l);
    return out;
}

lines minus(const lines &a, const lines &b) {
    lines out;
    for (const std::string &l : a)
        if (!b.count(l)) out.insert(l);
    return out;
}

std::string show(const lines &set) {
    std::string out;
    for (const std::string &l : set) out += "    " + l + "\n";
    return out.empty() ? "    (none)\n" : out;
}

}  // namespace

class LegacyWholeRun : public SimTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        use_os(GetParam());
        load_fixture("legacy-driver-set");
        process.module_path = kProgram;
    }

    std::vector<std::string> keys_gone() const {
        std::vector<std::string> keys = {
            "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset",
            "Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}",
            "Enum\\K440dTCR",
            "Enum\\Root\\K440dTCR",
            "Enum\\USB\\VID_FFFF&PID_0001",
            "Enum\\USB\\VID_FFFF&PID_0001&MI_00",
            "Enum\\PCI\\VEN_1234&DEV_5678",
            "Enum\\PCI\\VEN_1234&DEV_9999",
        };
        for (const char *driver : {"Modem\\0003", "Modem\\0004", "Ports\\0002", "Ports\\0005",
                                   "MEDIA\\0007", "USB\\0010"})
            keys.push_back(std::string(kClass) + driver);
        if (GetParam() == OS_WINME) {
            keys.push_back("Enum\\USBSTOR\\DISK&VEN_ORVANE&PROD_PHONE");
            keys.push_back(std::string(kClass) + "DiskDrive\\0003");
        }
        return keys;
    }

    std::vector<std::string> files_gone_at_once() const {
        return {"C:\\WINDOWS\\SYSTEM\\K440dTw9.sys",
                "C:\\WINDOWS\\SYSTEM\\K440dTcr.sys",
                "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\K440dTuc.sys",
                "C:\\WINDOWS\\SYSTEM\\IOSUBSYS\\K440dTm9.vxd",
                "C:\\WINDOWS\\SYSTEM\\VMM32\\K440dTvd.vxd",
                "C:\\WINDOWS\\INF\\drvidx.bin",
                "C:\\WINDOWS\\INF\\drvdata.bin",
                "C:\\WINDOWS\\INF\\K440dTuc.inf",
                "C:\\WINDOWS\\INF\\OTHER\\Orvane TelK440dTmd.INF",
                "C:\\WINDOWS\\INF\\OTHER\\Orvane TelK440dTpt.INF",
                "C:\\WINDOWS\\INF\\OTHER\\Orvane TelK440dTpc.INF",
                "C:\\WINDOWS\\INF\\OTHER\\Orvane TelK440dTuc.INF",
                "C:\\Program Files\\halvenor\\K440dT\\readme.txt",
                "C:\\Program Files\\halvenor\\K440dT\\K440dT helper.dll"};
    }
};

TEST_P(LegacyWholeRun, QuietRunRemovesTheDriverSetAndNothingElse) {
    lines registry_before = registry_lines(registry_snapshot());
    lines files_before = file_lines(files_snapshot());

    EXPECT_EQ(2, run("-quiet")) << "a Windows 98/ME removal always asks for a restart";

    lines registry_after = registry_lines(registry_snapshot());
    lines expected_gone = registry_lines_of(
        registry_before, keys_gone(), {"ORVANE TELK440DTMD.INF", "Orvane TelK440dTpt.INF", "k440dtuc.inf"});
    EXPECT_EQ(show(expected_gone), show(minus(registry_before, registry_after)))
        << "registry entries removed by the run";
    EXPECT_EQ(show(lines()), show(minus(registry_after, registry_before)))
        << "registry entries the run added";

    lines files_after = file_lines(files_snapshot());
    lines wininit_line = file_lines_of(files_before, {"C:\\WINDOWS\\wininit.ini"});
    lines files_expected_gone = file_lines_of(files_before, files_gone_at_once());
    files_expected_gone.insert(wininit_line.begin(), wininit_line.end());
    EXPECT_EQ(show(files_expected_gone), show(minus(files_before, files_after)))
        << "files removed (or changed) by the run";
    lines added = minus(files_after, files_before);
    ASSERT_EQ(1u, added.size()) << "only wininit.ini changes:\n" << show(added);
    EXPECT_EQ(0u, added.begin()->find("C:\\WINDOWS\\wininit.ini ")) << show(added);

    sim::carry_out_restart(machine);
    lines files_restarted = file_lines(files_snapshot());
    lines expected_after_restart = file_lines_of(
        files_before, {kProgram, "C:\\TEMP\\OTHERAPP.TMP", "C:\\WINDOWS\\wininit.ini"});
    expected_after_restart.insert(files_expected_gone.begin(), files_expected_gone.end());
    EXPECT_EQ(show(expected_after_restart), show(minus(files_before, files_restarted)))
        << "after the restart the program and the other program's leftover are gone too";
    lines new_files = minus(files_restarted, files_before);
    ASSERT_EQ(1u, new_files.size()) << show(new_files);
    EXPECT_EQ(0u, new_files.begin()->find("C:\\WINDOWS\\wininit.bak ")) << "no stray file anywhere";
}

TEST_P(LegacyWholeRun, TheClassTreeAndEveryEnumeratorSurvive) {
    run("-quiet");
    for (const char *key : {"System\\CurrentControlSet\\Services\\Class",
                            "System\\CurrentControlSet\\Services\\Class\\Modem", "Enum", "Enum\\PCI",
                            "Enum\\USB", "Enum\\Root", "Enum\\USBSTOR"})
        EXPECT_NE(nullptr, machine.registry.find(key)) << key << " must stay";
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
