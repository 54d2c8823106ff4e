#include "support/sim_test.h"

#include <cstring>

#include "base/os_class.h"
#include "control/entry_point.h"

void SimTest::SetUp() {
    process.machine = &machine;
    scope_.reset(new sim::ProcessScope(process));
    machine.set_os_class(OS_WINXP);
    machine.windows_dir = "C:\\WINDOWS";
    machine.files.make_dir("C:\\WINDOWS\\system32\\drivers");
    machine.files.make_dir("C:\\WINDOWS\\inf");
    machine.registry.create("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    machine.registry.create("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    machine.registry.create("System\\CurrentControlSet\\Services");
    profile = *builtin_profile();
    store_dialog_ids(&profile);
}

void SimTest::TearDown() {
    if (expect_handles_closed) {
        EXPECT_EQ(0, process.open_handles) << "the run left platform handles open";
    }
    release_setupapi();  // the next test is another process, which loads it anew
    scope_.reset();
}

int SimTest::run(const char *command_line) {
    return run_uninstaller(&profile, nullptr, command_line);
}

run_record SimTest::new_record(int os_class) {
    run_record record;
    std::memset(&record, 0, sizeof record);
    record.profile = &profile;
    record.os_class = os_class >= 0 ? os_class : classify_os();
    return record;
}

void SimTest::use_os(int os_class) {
    machine.set_os_class(os_class);
    machine.windows_dir = os_class >= OS_WIN2000 ? "C:\\WINDOWS" : "C:\\WINDOWS";
}

void SimTest::load_fixture(const std::string &name) {
    std::string error;
    ASSERT_TRUE(sim::load_machine(machine, fixture_path(name), &error)) << error;
}

// The records go where WOW64 redirects a 32-bit installer's writes below HKLM\Software.
void SimTest::load_fixture_installed_by_32bit_setup(const std::string &name) {
    std::string error;
    ASSERT_TRUE(sim::load_file_list(machine.files, fixture_path(name + "/files.txt"), &error))
        << error;
    std::string text;
    ASSERT_TRUE(sim::read_text_file(fixture_path(name + "/registry.reg"), &text));
    const std::string from = "[HKEY_LOCAL_MACHINE\\Software\\";
    const std::string to = "[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\";
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    ASSERT_TRUE(sim::load_reg_text(machine.registry, text, &error)) << error;
}

std::string fixture_path(const std::string &relative) {
    return std::string(K440_SOURCE_DIR) + "/tests/fixtures/" + relative;
}
