// The product registry record: numbered series, PNF twins on the NT family, device ids, the
// switch text, and values that do not fit.
#include "inventory/product_record.h"

#include <string>

#include "base/os_class.h"
#include "inventory/inventory_support.h"
#include "support/sim_test.h"

namespace {

class ProductRecord : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        key = "Software\\TAVO\\" + std::string(profile.product_guid);
    }
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    int read(int os_class = OS_WINXP) {
        record = new_record(os_class);
        return read_product_record(&record);
    }
    void set(const std::string &name, const std::string &text) {
        machine.registry.set_string(key, name, text);
    }
    std::string key;
    run_record record{};
};

TEST_F(ProductRecord, MissingRecordAddsNothing) {
    EXPECT_EQ(0, read());
    EXPECT_TRUE(texts(record.keys_to_delete).empty());
    EXPECT_STREQ("", record.install_dir);
}

TEST_F(ProductRecord, EmptyRecordKeyIsStillQueued) {
    machine.registry.create(key);
    EXPECT_EQ(1, read());
    EXPECT_EQ((std::vector<std::string>{key}), texts(record.keys_to_delete));
}

TEST_F(ProductRecord, FileSeriesEndsAtTheFirstGap) {
    set("0000", "C:\\a.sys");
    set("0001", "C:\\b.sys");
    set("0003", "C:\\d.sys");
    read(OS_WIN98);
    EXPECT_EQ((std::vector<std::string>{"C:\\b.sys", "C:\\a.sys"}), texts(record.files_to_delete))
        << "no PNF twins on Windows 98";
    for (const sim::Call &c : machine.calls_to("RegQueryValueExA"))
        EXPECT_EQ(std::string::npos, c.detail.find(" 0003")) << "0003 is never read";
}

TEST_F(ProductRecord, SeriesCountsInLowerCaseHex) {
    for (int n = 0; n <= 10; ++n) {
        char name[8];
        snprintf(name, sizeof name, "%4.4x", n);
        set(name, "C:\\f" + std::to_string(n) + ".sys");
    }
    read(OS_WIN98);
    EXPECT_EQ(11u, texts(record.files_to_delete).size()) << "0000 to 0009 and 000a";
}

TEST_F(ProductRecord, NtAddsEachPnfTwinRightAfterItsFile) {
    set("0000", "C:\\WINDOWS\\inf\\oem1.inf");
    set("0001", "C:\\WINDOWS\\inf\\oem2.inf");
    read();
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\inf\\oem2.pnf", "C:\\WINDOWS\\inf\\oem2.inf",
                                        "C:\\WINDOWS\\inf\\oem1.pnf", "C:\\WINDOWS\\inf\\oem1.inf"}),
              texts(record.files_to_delete));
}

TEST_F(ProductRecord, FileWithoutExtensionAddsOnlyItself) {
    set("0000", "C:\\drv.d\\K440dTuc");
    read();
    EXPECT_EQ((std::vector<std::string>{"C:\\drv.d\\K440dTuc"}), texts(record.files_to_delete))
        << "a '.' in a folder name is no extension to replace";
}

TEST_F(ProductRecord, TwinThatWouldNotFitIsNotAdded) {
    std::string path = "C:\\" + std::string(254, 'x') + ".i";  // 259 characters
    set("0000", path);
    read();
    EXPECT_EQ((std::vector<std::string>{path}), texts(record.files_to_delete))
        << "the twin (261 characters) does not fit and is not cut";
}

TEST_F(ProductRecord, OverlongFileValueEndsTheSeries) {
    set("0000", "C:\\" + std::string(270, 'x') + ".sys");
    set("0001", "C:\\b.sys");
    read();
    EXPECT_TRUE(texts(record.files_to_delete).empty()) << "a value longer than 260 bytes is unreadable";
}

TEST_F(ProductRecord, DeviceIdsReplaceNothingButThemselves) {
    set("VIDPID0000", "FFFF/0001");
    set("VIDPID0001", "0A2B/01C3");
    read();
    EXPECT_EQ((std::vector<std::string>{"0A2B/01C3", "FFFF/0001"}), texts(record.device_ids));
    EXPECT_EQ(1, record.ids_from_record);
}

TEST_F(ProductRecord, InstallPathAndSwitchText) {
    set("InstallPath", "C:\\Program Files\\halvenor\\K440dT");
    set("UninstallerCmdLineSwitch", "-leave_source");
    read();
    EXPECT_STREQ("C:\\Program Files\\halvenor\\K440dT", record.install_dir);
    EXPECT_EQ(1, record.leave_source) << "as if given on the command line";
}

TEST_F(ProductRecord, RejectedSwitchEndsOnlyTheParse) {
    set("UninstallerCmdLineSwitch", "-prefix_only -bogus -leave_source");
    set("0000", "C:\\a.sys");
    EXPECT_EQ(1, read());
    EXPECT_EQ(1, record.prefix_only);
    EXPECT_EQ(0, record.leave_source) << "the parse stops at the unknown switch";
    EXPECT_EQ(2u, texts(record.files_to_delete).size()) << "the rest of the record is still read";
}

TEST_F(ProductRecord, OverlongInstallPathIsIgnored) {
    set("InstallPath", "C:\\" + std::string(300, 'i'));
    read();
    EXPECT_STREQ("", record.install_dir) << "no cut install folder to sweep";
}

TEST_F(ProductRecord, InstallPathThatReadsAsAnotherFolderIsIgnored) {
    // One folder name under code page 932 best fit: the ANSI read gives "halvenor\K440dT".
    machine.registry.set_unicode_string(key, "InstallPath", REG_SZ,
                                        u"C:\\Program Files\\halvenor\u00A5K440dT");
    read();
    EXPECT_STREQ("", record.install_dir) << "another program's folder is never swept";
}

}  // namespace
