// Uninstall and service keys whose Unicode names the ANSI code page cannot hold: their best-fit
// names (a yen sign read as a backslash) would name another product's key, which must never
// be queued for deletion in their stead.
#include "inventory/collect_inventory.h"

#include <string>
#include <vector>

#include "inventory/inventory_support.h"
#include "support/sim_test.h"

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kServices = "System\\CurrentControlSet\\Services";

struct alias_case {
    const char *what;
    const std::string *parent;
    std::u16string foreign_name;  // the key the listing meets
    const char *alias;            // another product's key that its best-fit name reaches
    const char *value_name;       // a value that makes the alias look like the product's
    const char *value;
};

const alias_case kAliases[] = {
    {"yen sign under Uninstall", &kUninstall, u"Other\u00A5K440dT", "Other\\K440dT",
     "UninstallString", "C:\\Other\\K440dTUn.exe"},
    {"yen sign under Services", &kServices, u"Other\u00A5K440dTuc", "Other\\K440dTuc", "ImagePath",
     "System32\\DRIVERS\\K440dTuc.sys"},
};

class KeyNameAlias : public SimTest {
  protected:
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    run_record record{};
};

TEST_F(KeyNameAlias, ABestFitKeyNameNeverQueuesTheKeyItAliases) {
    for (const alias_case &row : kAliases) {
        SCOPED_TRACE(row.what);
        machine.registry.remove_tree(*row.parent);
        machine.registry.create_unicode_key(*row.parent, row.foreign_name);
        machine.registry.set_string(*row.parent + "\\" + row.alias, row.value_name, row.value);
        free_run_lists(&record);
        record = new_record();
        collect_inventory(&record);
        for (const std::string &key : texts(record.keys_to_delete))
            EXPECT_NE(*row.parent + "\\" + row.alias, key);
    }
}

TEST_F(KeyNameAlias, AJapaneseKeyNameTheCodePageHoldsIsQueued) {
    machine.registry.create_unicode_key(kServices, u"K440dT\u65E5\u672C");
    std::string name = machine.registry.find(kServices)->subkeys.back()->name;
    machine.registry.set_string(kServices + "\\" + name, "ImagePath", "System32\\DRIVERS\\K440dTuc.sys");
    record = new_record();
    collect_inventory(&record);
    EXPECT_EQ((std::vector<std::string>{kServices + "\\" + name}), texts(record.keys_to_delete));
}

}  // namespace
