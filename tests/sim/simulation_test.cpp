// The simulated machine itself: the platform behaviour the product relies on.
#include <gtest/gtest.h>

#include <tuple>

#include "sim/dialog_script.h"
#include "sim/mbcs.h"
#include "sim/restart_model.h"
#include "sim/wildcard.h"
#include "support/sim_test.h"

class SimulationTest : public SimTest {};

TEST_F(SimulationTest, FixtureLoadsEveryValueType) {
    load_fixture("reg-roundtrip");
    sim::RegKey *key = machine.registry.find("software\\roundtrip");
    ASSERT_NE(nullptr, key) << "key names ignore case";
    ASSERT_NE(nullptr, key->value("Text"));
    EXPECT_EQ(std::string("C:\\Program Files\\x \"quoted\"") + '\0',
              std::string(key->value("Text")->data.begin(), key->value("Text")->data.end()));
    EXPECT_EQ((DWORD)REG_DWORD, key->value("Number")->type);
    EXPECT_EQ((std::vector<uint8_t>{0x1f, 0, 0, 0}), key->value("Number")->data);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 0xff}), key->value("Bytes")->data);
    EXPECT_EQ((DWORD)REG_EXPAND_SZ, key->value("Expand")->type);
    EXPECT_EQ((DWORD)REG_MULTI_SZ, key->value("Multi")->type);
    EXPECT_EQ((std::vector<uint8_t>{'a', 0, 'b', 'c', 0, 0}), key->value("Multi")->data)
        << "continued hex lines join";
    EXPECT_NE(nullptr, key->value(""));
    EXPECT_NE(nullptr, key->child("Child"));
    EXPECT_EQ(nullptr, machine.registry.find("Software\\Ignored")) << "only HKLM is planted";
    EXPECT_EQ(0x21u, machine.files.find("C:\\RoundTrip\\readonly.txt")->attributes);
    EXPECT_EQ("line one\nline two", machine.files.find("c:\\roundtrip\\PLAIN.TXT")->content);
    EXPECT_TRUE(machine.files.find("C:\\RoundTrip\\folder")->is_dir);
    EXPECT_EQ(0, machine.files.find("C:\\RoundTrip\\from-file.inf")->content.find("[Version]"));
}

TEST_F(SimulationTest, NtRefusesToDeleteAKeyWithSubkeys) {
    machine.registry.create("Software\\P\\Child");
    HKEY parent;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS, &parent));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyA(parent, "P"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(parent, "P\\Child"));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(parent, "P"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyA(parent, "P"));
    RegCloseKey(parent);
}

TEST_F(SimulationTest, Windows98DeletesAKeyWithItsWholeTree) {
    use_os(3);
    machine.registry.create("Software\\P\\Child\\Grandchild");
    HKEY parent;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS, &parent));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(parent, "P"));
    RegCloseKey(parent);
    EXPECT_EQ(nullptr, machine.registry.find("Software\\P"));
}

TEST_F(SimulationTest, TrailingBackslashOpensTheKeyEmptyComponentsDoNot) {
    machine.registry.create("Software\\A\\B");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\A\\", 0, KEY_READ, &key));
    RegCloseKey(key);
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\\\A", 0, KEY_READ, &key));
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "\\Software", 0, KEY_READ, &key));
}

TEST_F(SimulationTest, HandleOfADeletedKeyAnswersKeyDeleted) {
    machine.registry.create("Software\\Gone");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Gone", 0, KEY_ALL_ACCESS, &key));
    machine.registry.remove_tree("Software\\Gone");
    EXPECT_EQ(ERROR_KEY_DELETED, RegSetValueExA(key, "x", 0, REG_SZ, (const BYTE *)"", 1));
    RegCloseKey(key);
}

TEST_F(SimulationTest, ValueTooLargeForTheBufferAnswersMoreDataWithTheSize) {
    machine.registry.set_string("Software\\V", "v", "0123456789");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\V", 0, KEY_READ, &key));
    char buffer[4];
    DWORD size = sizeof buffer, type = 0;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key, "v", nullptr, &type, (LPBYTE)buffer, &size));
    EXPECT_EQ(11u, size);
    RegCloseKey(key);
}

TEST_F(SimulationTest, DeniedKeyOpensOnlyForWhatItsListAllows) {
    machine.registry.create("Software\\Locked");
    sim::RegKey *k = machine.registry.find("Software\\Locked");
    k->security.has_dacl = true;
    k->security.owner_sid = "S-1-5-18";
    k->security.dacl.push_back(sim::AccessEntry{true, "S-1-5-32-544", KEY_READ, 0});
    HKEY key;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Locked", 0, KEY_READ, &key));
    RegCloseKey(key);
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Locked", 0, KEY_ALL_ACCESS, &key));
    process.token = sim::filtered_administrator_token();
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Locked", 0, KEY_READ, &key))
        << "a deny-only group grants nothing";
    use_os(3);
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Locked", 0, KEY_ALL_ACCESS, &key))
        << "Windows 98 has no key security";
    RegCloseKey(key);
}

TEST_F(SimulationTest, ReadOnlyAndRunningFilesResistDeletion) {
    machine.files.write_file("C:\\T\\ro.txt", "x", FILE_ATTRIBUTE_READONLY);
    machine.files.write_file(process.module_path, "exe");
    EXPECT_FALSE(DeleteFileA("C:\\T\\ro.txt"));
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(SetFileAttributesA("C:\\T\\ro.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileA("C:\\T\\ro.txt"));
    EXPECT_FALSE(DeleteFileA(process.module_path.c_str())) << "the running program";
    EXPECT_FALSE(DeleteFileA("C:\\T")) << "a folder is no file";
    EXPECT_FALSE(DeleteFileA("C:\\T\\missing"));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
}

TEST_F(SimulationTest, SearchListsDotEntriesThenChildrenInCreationOrder) {
    machine.files.write_file("C:\\F\\b.inf", "");
    machine.files.write_file("C:\\F\\a.INF", "");
    machine.files.write_file("C:\\F\\c.infx", "");
    machine.files.write_file("C:\\F\\noext", "");
    WIN32_FIND_DATAA data;
    std::vector<std::string> names;
    HANDLE h = FindFirstFileA("C:\\F\\*.*", &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    do names.push_back(data.cFileName);
    while (FindNextFileA(h, &data));
    FindClose(h);
    EXPECT_EQ((std::vector<std::string>{".", "..", "b.inf", "a.INF", "c.infx", "noext"}), names);
    names.clear();
    h = FindFirstFileA("C:\\F\\*.inf", &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    do names.push_back(data.cFileName);
    while (FindNextFileA(h, &data));
    FindClose(h);
    EXPECT_EQ((std::vector<std::string>{"b.inf", "a.INF"}), names);
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA("C:\\Missing\\*.*", &data));
}

TEST_F(SimulationTest, WildcardsFollowThePlatform) {
    EXPECT_TRUE(sim::wildcard_match("K440dT*.*", "k440dtun.exe"));
    EXPECT_TRUE(sim::wildcard_match("K440dT*.*", "K440dT"));
    EXPECT_FALSE(sim::wildcard_match("K440dT*.*", "other.exe"));
    EXPECT_TRUE(sim::wildcard_match("oem?.inf", "OEM1.INF"));
    EXPECT_FALSE(sim::wildcard_match("*.inf", "a.pnf"));
}

TEST_F(SimulationTest, DelayedDeletionHappensAtTheRestart) {
    machine.files.write_file("C:\\D\\in-use.exe", "x");
    machine.files.make_dir("C:\\D\\sub");
    EXPECT_TRUE(MoveFileExA("C:\\D\\in-use.exe", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_TRUE(MoveFileExA("C:\\D\\sub", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_TRUE(machine.files.exists("C:\\D\\in-use.exe")) << "nothing happens before the restart";
    sim::RestartReport report = sim::carry_out_restart(machine);
    EXPECT_FALSE(machine.files.exists("C:\\D\\in-use.exe"));
    EXPECT_FALSE(machine.files.exists("C:\\D\\sub"));
    EXPECT_EQ(2u, report.deleted.size());
    use_os(3);
    EXPECT_FALSE(MoveFileExA("C:\\D", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
        << "Windows 98/ME has no delayed move";
}

TEST_F(SimulationTest, CodePage932NeverSplitsADoubleByteCharacter) {
    // 0x83 0x5C is one character whose trail byte is a backslash.
    const unsigned char text[] = "\x83\x5c" "a\\b";
    EXPECT_EQ(text + 3, _mbschr(text, '\\'));
    EXPECT_EQ(text + 3, _mbsrchr(text, '\\'));
    unsigned char lower[] = "AB\x83\x41Z";  // 0x83 0x41 must not become 0x83 0x61
    _mbslwr(lower);
    EXPECT_STREQ("ab\x83\x41z", reinterpret_cast<char *>(lower));
    EXPECT_TRUE(sim::equal_nocase("K440DT\x83\x41", "k440dt\x83\x41"));
    EXPECT_FALSE(sim::equal_nocase("\x83\x41", "\x83\x61"));
    machine.code_page = 1252;
    EXPECT_EQ(text + 1, _mbschr(text, '\\')) << "code page 1252 has no lead bytes";
}

// The confirmation dialog as the Windows build's resource compiler makes it from
// resources/dialog.rc: tests/resources/built_resources_test.py reads the same figures out of
// the built program.
TEST_F(SimulationTest, DialogTemplatesAreTheResourceScripts) {
    ASSERT_EQ(1u, machine.ui.dialog_templates.count(102));
    const sim::DialogTemplate &t = machine.ui.dialog_templates.at(102);
    EXPECT_EQ("Uninstall Dialog", t.title);
    EXPECT_EQ(0x80C80AC0u, t.style);
    std::vector<std::tuple<int, std::string, std::string, DWORD>> controls;
    for (const sim::DialogControl &c : t.controls)
        controls.emplace_back(c.id, c.window_class, c.text, c.style);
    EXPECT_EQ((decltype(controls){{1003, "Button", "Uninstall", 0x50010001},
                                  {1004, "Button", "Cancel", 0x50010000},
                                  {1002, "Static", "Uninstall Text", 0x50020000}}),
              controls);
}

TEST(DialogScriptTest, AScriptTheReaderCannotReadGivesNoTemplate) {
    const struct {
        const char *script;
        const char *error;
    } rows[] = {
        {"7 DIALOG 0, 0, 9, 9\nSTYLE WS_POPUP | WS_NOSUCH\nBEGIN\nEND\n", "line 2: unknown name WS_NOSUCH"},
        {"7 DIALOG 0, 0, 9, 9\nBEGIN\nCHECKBOX \"a\", 5, 0, 0, 1, 1\nEND\n", "line 3: unknown control CHECKBOX"},
        {"#include \"no-such.h\"\n", "line 1: cannot read none/no-such.h"},
        {"LANGUAGE 9, 1\n", "line 1: no DIALOG statement"},
    };
    for (const auto &row : rows) {
        std::map<int, sim::DialogTemplate> templates;
        std::string error;
        EXPECT_FALSE(sim::parse_dialog_script(row.script, "none", &templates, &error)) << row.script;
        EXPECT_EQ(row.error, error) << row.script;
        EXPECT_TRUE(templates.empty()) << row.script;
    }
    std::map<int, sim::DialogTemplate> templates;
    std::string error;
    EXPECT_FALSE(sim::read_dialog_script("none/dialog.rc", &templates, &error));
    EXPECT_EQ("cannot read none/dialog.rc", error);
}
