// File values of the product record that are no whole path: found by the inventory fuzz
// target (fuzz/corpus/inventory/finding_record_file_*), kept here as plain cases.
#include <string>

#include "base/os_class.h"
#include "inventory/inventory_support.h"
#include "inventory/product_record.h"
#include "support/sim_test.h"

namespace {

class RecordFileValues : public SimTest {
  protected:
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    std::vector<std::string> files_of(const std::vector<std::string> &values, int os_class) {
        std::string key = "Software\\TAVO\\" + std::string(profile.product_guid);
        char name[8];
        for (size_t i = 0; i < values.size(); ++i) {
            snprintf(name, sizeof name, "%4.4x", (unsigned)i);
            machine.registry.set_string(key, name, values[i]);
        }
        record = new_record(os_class);
        read_product_record(&record);
        return texts(record.files_to_delete);
    }
    run_record record{};
};

TEST_F(RecordFileValues, MalformedPathsAreNotQueuedAndTheSeriesGoesOn) {
    for (int os_class : {OS_WIN98, OS_WINXP}) {
        free_run_lists(&record);
        std::vector<std::string> files =
            files_of({"C:WS\\f\\\\WINDOWS\\inf\\oem12.inf", "", "C:\\WINDOWS\\inf\\", "\\WINDOWS\\x.sys",
                      "K440dTuc.sys", "drivers\\usbser.sys", "C:drivers\\usbser.sys",
                      "C:\\Program Files\\halvenor\\K440dT\\..\\..\\..\\WINDOWS\\system32\\hal.dll",
                      "C:\\WINDOWS\\system32/hal.dll",
                      "C:\\WINDOWS\\system32\\K440dTIN.dll"},
                     os_class);
        size_t expected = os_class >= OS_FIRST_NT ? 2u : 1u;  // with its PNF twin on NT
        ASSERT_EQ(expected, files.size()) << "only the whole path is queued on class " << os_class;
        EXPECT_EQ("C:\\WINDOWS\\system32\\K440dTIN.dll", files.back())
            << "a value after the malformed ones is still read";
    }
}

}  // namespace
