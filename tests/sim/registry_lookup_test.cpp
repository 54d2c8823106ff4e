// Subkey lookup of the simulated registry: case-insensitive for single-byte letters only,
// kept in step with creation and deletion.
#include "support/sim_test.h"

namespace {

class RegistryLookup : public SimTest {};

TEST_F(RegistryLookup, SingleByteLettersIgnoreCase) {
    sim::RegKey *key = machine.registry.create("Software\\MixedCase");
    EXPECT_EQ(key, machine.registry.find("SOFTWARE\\mixedcase"));
    EXPECT_EQ(key, machine.registry.create("software\\MIXEDCASE")) << "no twin is created";
}

TEST_F(RegistryLookup, TrailBytesOfDoubleByteCharactersAreNotFolded) {
    // In code page 932, 0x83 0x41 and 0x83 0x61 are two different katakana.
    sim::RegKey *a = machine.registry.create("Software\\\x83\x41");
    sim::RegKey *b = machine.registry.create("Software\\\x83\x61");
    EXPECT_NE(a, b) << "two keys, though their bytes differ only as 'A' and 'a'";
    EXPECT_EQ(a, machine.registry.find("Software\\\x83\x41"));
    EXPECT_EQ(b, machine.registry.find("Software\\\x83\x61"));
}

TEST_F(RegistryLookup, DeletedKeyIsNoLongerFoundAndCanBeCreatedAgain) {
    machine.registry.create("Software\\Gone\\Child");
    ASSERT_TRUE(machine.registry.remove_tree("Software\\GONE"));
    EXPECT_EQ(nullptr, machine.registry.find("Software\\Gone"));
    EXPECT_EQ(nullptr, machine.registry.find("Software\\Gone\\Child"));
    sim::RegKey *again = machine.registry.create("Software\\Gone");
    ASSERT_NE(nullptr, again);
    EXPECT_TRUE(again->subkeys.empty()) << "a fresh key, not the deleted one";
    EXPECT_EQ(again, machine.registry.find("software\\gone"));
}

}  // namespace
