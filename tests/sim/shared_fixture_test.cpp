// The machine fixture e2e/fixtures/roundtrip is the one the Wine cases plant too
// (e2e/cases/fixture_roundtrip.py): the simulated machine must read the same keys, values,
// files and attributes from it that regedit and the harness put into a Wine prefix.
#include <string>
#include <vector>

#include "support/sim_test.h"

namespace {

std::vector<uint8_t> bytes_of(const std::string &text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

const char kKey[] = "SOFTWARE\\halvenor\\E2eRoundTrip";

class SharedFixture : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        std::string error;
        ASSERT_TRUE(sim::load_machine(machine, std::string(K440_SOURCE_DIR) +
                                                   "/e2e/fixtures/roundtrip", &error))
            << error;
    }

    std::vector<uint8_t> data(const std::string &key, const std::string &name, DWORD type) {
        sim::RegKey *k = machine.registry.find(key);
        if (!k) {
            ADD_FAILURE() << "key " << key << " should be planted";
            return {};
        }
        sim::RegValue *v = k->value(name);
        if (!v) {
            ADD_FAILURE() << "value " << key << "\\" << name << " should be planted";
            return {};
        }
        EXPECT_EQ(type, v->type) << "type of " << key << "\\" << name;
        return v->data;
    }
};

TEST_F(SharedFixture, ReadsEveryValueTypeAsRegeditStoresIt) {
    EXPECT_EQ(bytes_of(std::string("plain \"quoted\" back\\slash") + '\0'),
              data(kKey, "Text", REG_SZ));
    EXPECT_EQ(std::vector<uint8_t>({0x2a, 0, 0, 0}), data(kKey, "Count", REG_DWORD));
    EXPECT_EQ(std::vector<uint8_t>({0x00, 0x01, 0xfe, 0xff}), data(kKey, "Blob", REG_BINARY));
    EXPECT_EQ(bytes_of(std::string("%SystemRoot%\\inf") + '\0'),
              data(kKey, "Path", REG_EXPAND_SZ));
    EXPECT_EQ(bytes_of(std::string("a\0bc\0\0", 6)), data(kKey, "List", REG_MULTI_SZ));
    std::string sub = std::string(kKey) + "\\Sub Key";
    EXPECT_EQ(bytes_of(std::string("default value") + '\0'), data(sub, "", REG_SZ));
    std::vector<uint8_t> counting;
    for (int i = 1; i <= 32; ++i) counting.push_back((uint8_t)i);
    EXPECT_EQ(counting, data(sub, "Long", REG_BINARY)) << "hex data continued over two lines";
    EXPECT_NE(nullptr, machine.registry.find(std::string(kKey) + "\\Empty"));
}

// "ソ" is 83 5C in code page 932: its trail byte is a backslash, which must not be taken for
// an escape (regedit reads the file as text of the code page).
TEST_F(SharedFixture, KeepsJapaneseTextWhoseTrailByteIsABackslash) {
    const std::string expected =
        "\x83\x5c\x83\x74\x83\x67\x83\x45\x83\x46\x83\x41\x82\xcc\x83\x65\x83\x58\x83\x67";
    EXPECT_EQ(bytes_of(expected + '\0'), data(kKey, "Japanese", REG_SZ));
}

TEST_F(SharedFixture, PlantsFilesWithTheirAttributesAndContent) {
    sim::FileNode *readme = machine.files.find("C:\\Program Files\\halvenor\\K440dT\\readme.txt");
    ASSERT_NE(nullptr, readme);
    EXPECT_EQ("read me\nsecond\tline\n", readme->content);
    EXPECT_EQ(0x21u, readme->attributes) << "read-only (and archive)";

    sim::FileNode *driver = machine.files.find("C:\\WINDOWS\\system32\\drivers\\k440rt.sys");
    ASSERT_NE(nullptr, driver);
    EXPECT_EQ(1024u, driver->content.size()) << "content taken from the file beside the list";
    EXPECT_EQ(0x26u, driver->attributes) << "hidden and system (and archive)";

    sim::FileNode *in_use = machine.files.find("C:\\WINDOWS\\system32\\k440co.dll");
    ASSERT_NE(nullptr, in_use);
    EXPECT_TRUE(in_use->in_use);

    sim::FileNode *folder = machine.files.find("C:\\Program Files\\halvenor\\K440dT\\Empty Folder");
    ASSERT_NE(nullptr, folder);
    EXPECT_TRUE(folder->is_dir);
    EXPECT_NE(nullptr, machine.files.find("C:\\WINDOWS\\inf\\oem7.inf"));
}

}  // namespace
