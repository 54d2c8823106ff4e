// Service key discovery: the image file name after the last backslash must equal a listed
// driver file name.
#include "inventory/service_keys.h"

#include <string>

#include "inventory/inventory_support.h"
#include "support/sim_test.h"

namespace {

const std::string kServices = "System\\CurrentControlSet\\Services\\";

class ServiceKeys : public SimTest {
  protected:
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    void image(const std::string &service, const std::string &path) {
        machine.registry.set_string(kServices + service, "ImagePath", path);
    }
    std::vector<std::string> found() {
        record = new_record();
        find_service_keys(&record);
        return texts(record.keys_to_delete);
    }
    run_record record{};
};

TEST_F(ServiceKeys, ImageNameComparesWithoutCase) {
    image("K440dTuc", "System32\\DRIVERS\\K440DTUC.SYS");
    EXPECT_EQ((std::vector<std::string>{kServices + "K440dTuc"}), found());
}

TEST_F(ServiceKeys, BareImageNameNeverMatches) {
    image("K440dTuc", "K440dTuc.sys");
    EXPECT_TRUE(found().empty());
}

TEST_F(ServiceKeys, NameThatOnlyBeginsWithAListedNameIsNoMatch) {
    image("K440dTucOld", "System32\\DRIVERS\\K440dTuc.sys.old");
    image("K440dTu", "System32\\DRIVERS\\K440dTu.sys");
    EXPECT_TRUE(found().empty());
}

TEST_F(ServiceKeys, ServiceWithoutImagePathIsSkipped) {
    machine.registry.set_string(kServices + "Group", "Group", "Base");
    machine.registry.set_dword(kServices + "Dword", "ImagePath", 1);
    EXPECT_TRUE(found().empty());
}

TEST_F(ServiceKeys, ExpandableImagePathIsComparedAsStored) {
    std::string text = "%SystemRoot%\\system32\\drivers\\K440dTcm.sys";
    std::vector<uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    machine.registry.set_value(kServices + "K440dTcm", "ImagePath", 2, data);
    EXPECT_EQ((std::vector<std::string>{kServices + "K440dTcm"}), found());
}

// On the NT family the registry keeps "K440dT\u00FCc.sys", which the ANSI functions hand back
// in its best-fit form "K440dTuc.sys": another driver's service, never the product's.
TEST_F(ServiceKeys, AnImageNameThatOnlyReadsAsADriverFileIsNoMatch) {
    machine.registry.set_unicode_string(kServices + "OtherDriver", "ImagePath", REG_SZ,
                                        u"System32\\DRIVERS\\K440dT\u00FCc.sys");
    EXPECT_TRUE(found().empty());
}

// The names are walked from the subkey enumerated last, each pushed at the head of the list:
// the list then reads in the platform's enumeration order.
TEST_F(ServiceKeys, SeveralServicesAreAllQueued) {
    image("A", "System32\\DRIVERS\\K440dTuc.sys");
    image("B", "System32\\DRIVERS\\other.sys");
    image("C", "\\SystemRoot\\System32\\Drivers\\K440dTcm.sys");
    EXPECT_EQ((std::vector<std::string>{kServices + "A", kServices + "C"}), found());
}

TEST_F(ServiceKeys, EmptyOrAbsentDriverListQueuesNothing) {
    image("A", "System32\\DRIVERS\\K440dTuc.sys");
    const char *const none[] = {0};
    profile.driver_files = none;
    EXPECT_TRUE(found().empty()) << "empty list";
    free_run_lists(&record);
    profile.driver_files = 0;
    EXPECT_TRUE(found().empty()) << "absent list";
}

TEST_F(ServiceKeys, ServiceNameTooLongForThePathIsSkipped) {
    image(std::string(240, 's'), "System32\\DRIVERS\\K440dTuc.sys");
    image("Short", "System32\\DRIVERS\\K440dTuc.sys");
    EXPECT_EQ((std::vector<std::string>{kServices + "Short"}), found())
        << "the long name is never cut into another service's path";
}

TEST_F(ServiceKeys, OnlyTheFirstDriverListTakesPart) {
    const char *const more[] = {"K440dTzz.sys", 0};
    profile.more_driver_files = more;
    image("Z", "System32\\DRIVERS\\K440dTzz.sys");
    EXPECT_TRUE(found().empty());
}

}  // namespace
