// What a process sees of a 64-bit machine: the system folder and HKLM\Software by program
// bitness and by the view flags of the registry functions.
#include <gtest/gtest.h>

#include <string>

#include "sim/wow64_view.h"
#include "support/sim_test.h"

namespace {

class Wow64View : public SimTest {};

TEST_F(Wow64View, FilesByProgram) {
    struct {
        bool x64;
        bool program_64bit;
        const char *path;
        const char *seen;
    } cases[] = {
        {true, false, "C:\\WINDOWS\\system32\\drivers\\a.sys", "C:\\WINDOWS\\SysWOW64\\drivers\\a.sys"},
        {true, false, "C:\\WINDOWS\\System32", "C:\\WINDOWS\\SysWOW64"},
        {true, false, "C:\\WINDOWS\\system32x\\a.sys", "C:\\WINDOWS\\system32x\\a.sys"},
        {true, false, "C:\\WINDOWS\\system32\\drivers\\etc\\hosts", "C:\\WINDOWS\\system32\\drivers\\etc\\hosts"},
        {true, false, "C:\\WINDOWS\\system32\\catroot\\x.cat", "C:\\WINDOWS\\system32\\catroot\\x.cat"},
        {true, false, "C:\\WINDOWS\\Sysnative\\drivers\\a.sys", "C:\\WINDOWS\\System32\\drivers\\a.sys"},
        {true, false, "C:\\WINDOWS\\inf\\oem1.inf", "C:\\WINDOWS\\inf\\oem1.inf"},
        {true, true, "C:\\WINDOWS\\system32\\drivers\\a.sys", "C:\\WINDOWS\\system32\\drivers\\a.sys"},
        {true, true, "C:\\WINDOWS\\Sysnative\\a.sys", "C:\\WINDOWS\\Sysnative\\a.sys"},
        {false, false, "C:\\WINDOWS\\system32\\drivers\\a.sys", "C:\\WINDOWS\\system32\\drivers\\a.sys"},
    };
    for (const auto &c : cases) {
        machine.x64 = c.x64;
        process.is_64bit = c.program_64bit;
        EXPECT_EQ(c.seen, sim::file_view(c.path)) << c.path << (c.x64 ? " x64" : "")
                                                  << (c.program_64bit ? " 64-bit" : "");
    }
}

TEST_F(Wow64View, RegistryByProgramAndFlags) {
    struct {
        bool x64;
        bool program_64bit;
        REGSAM flags;
        const char *path;
        const char *seen;
    } cases[] = {
        {true, false, 0, "Software\\TAVO", "Software\\Wow6432Node\\TAVO"},
        {true, false, 0, "SOFTWARE", "SOFTWARE\\Wow6432Node"},
        {true, false, KEY_WOW64_64KEY, "Software\\TAVO", "Software\\TAVO"},
        {true, false, 0, "Software\\Wow6432Node\\TAVO", "Software\\Wow6432Node\\TAVO"},
        {true, false, 0, "System\\CurrentControlSet\\Services\\x", "System\\CurrentControlSet\\Services\\x"},
        {true, false, 0, "Softwarex\\TAVO", "Softwarex\\TAVO"},
        {true, true, 0, "Software\\TAVO", "Software\\TAVO"},
        {true, true, KEY_WOW64_32KEY, "Software\\TAVO", "Software\\Wow6432Node\\TAVO"},
        {true, true, KEY_WOW64_32KEY, "System\\Select", "System\\Select"},
        {false, false, KEY_WOW64_32KEY, "Software\\TAVO", "Software\\TAVO"},
    };
    for (const auto &c : cases) {
        machine.x64 = c.x64;
        process.is_64bit = c.program_64bit;
        EXPECT_EQ(c.seen, sim::registry_view(c.path, c.flags))
            << c.path << (c.x64 ? " x64" : "") << (c.program_64bit ? " 64-bit" : "") << " flags " << c.flags;
    }
}

}  // namespace
