// Whether an INF file is the product's: its options entry and its model lines.
#include <gtest/gtest.h>

#include "base/os_class.h"
#include "inventory/inf_reading.h"
#include "support/device_machine.h"
#include "support/sim_test.h"

namespace {

const char inf_path[] = "C:\\WINDOWS\\inf\\oem7.inf";

class InfReadingTest : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        record = new_record();
        use_builtin_ids(&record);
    }
    void TearDown() override {
        free_run_lists(&record);
        SimTest::TearDown();
    }
    int allows(const char *options, int os_class) {
        plant_inf(machine, "oem7.inf", inf_text(options, "USB\\VID_FFFF&PID_0001"));
        return inf_allows_uninstall(inf_path, os_class, 0);
    }
    int names(const std::string &hardware_ids) {
        plant_inf(machine, "oem7.inf", inf_text("uninstallable", hardware_ids));
        return inf_names_device(inf_path, record.device_ids, record.device_names);
    }
    run_record record;
};

struct OptionsCase {
    const char *options;
    int allowed_on[11];  // by OS class 0 to 10
};

// Every options word against every OS class.
const OptionsCase options_cases[] = {
    {"uninstallable", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    {"Uninstallable", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    {"notuninstallable", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
    {"installable", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"uninstallable,notinstallonwin98", {1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1}},
    {"uninstallable,notinstallonwin98se", {1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1}},
    {"uninstallable,notinstallonwin98vers", {1, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1}},
    {"uninstallable,notinstallonwinme", {1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1}},
    {"uninstallable,notinstallonwinver4", {1, 1, 1, 0, 0, 0, 1, 1, 1, 1, 1}},
    {"uninstallable,notinstallonwin2k", {1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1}},
    {"uninstallable,notinstallonwinxp", {1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1}},
    {"uninstallable,notinstallonwinserv2003", {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1}},
    {"uninstallable,notinstallonwinver5", {1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 1}},
    {"uninstallable,notinstallonwinxp,notinstallonwin2k", {1, 1, 1, 1, 1, 1, 1, 0, 0, 1, 1}},
    {"UNINSTALLABLE,NOTINSTALLONWINXP", {1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1}},
    {"uninstallable,notinstallonwinfoo", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},
};

TEST_F(InfReadingTest, OptionsWordsOnEveryOsClass) {
    for (const OptionsCase &c : options_cases)
        for (int os_class = 0; os_class <= 10; ++os_class)
            EXPECT_EQ(c.allowed_on[os_class], allows(c.options, os_class))
                << "options \"" << c.options << "\" on OS class " << os_class;
}

TEST_F(InfReadingTest, WithoutOptionsTheFileIsNotTaken) {
    EXPECT_EQ(0, allows(nullptr, OS_WINXP)) << "no TAVOOptions line";
    EXPECT_EQ(0, allows(std::string(1100, 'u').append("uninstallable").c_str(), OS_WINXP))
        << "a value larger than the buffer is unreadable";
    EXPECT_EQ(0, inf_allows_uninstall("C:\\WINDOWS\\inf\\missing.inf", OS_WINXP, 0));
    EXPECT_EQ(1, inf_allows_uninstall("C:\\WINDOWS\\inf\\missing.inf", OS_WINXP, 1))
        << "skipped validation answers without reading";
}

TEST_F(InfReadingTest, OptionsMayComeFromAStringKey) {
    plant_inf(machine, "oem7.inf",
              "[Version]\nSignature=$Windows NT$\n[Strings]\nFlags=\"uninstallable\"\ntavooptions=%Flags%\n");
    EXPECT_EQ(1, inf_allows_uninstall(inf_path, OS_WINXP, 0)) << "key names ignore case; %key% is substituted";
}

TEST_F(InfReadingTest, OnlyTheFirstHardwareIdOfAModelLineCounts) {
    EXPECT_EQ(1, names("USB\\VID_FFFF&PID_0001&MI_00"));
    EXPECT_EQ(1, names("ROOT\\K440DTCR"));
    EXPECT_EQ(0, names("USB\\VID_1234&PID_0001, USB\\VID_FFFF&PID_0001"));
}

TEST_F(InfReadingTest, EverySectionOfTheManufacturerIsTried) {
    plant_inf(machine, "oem7.inf",
              "[Version]\nSignature=$Chicago$\n[Manufacturer]\nA=Missing\nB=Other,NTx86\nC=Product\n"
              "[Other]\nx=i,USB\\VID_1234&PID_0001\n[Product]\ny=i,USB\\VID_0000&PID_9999\n");
    string_list_entry *sections = nullptr;
    ASSERT_EQ(1, inf_list_model_sections(inf_path, &sections));
    EXPECT_EQ((std::vector<std::string>{"Product", "Other", "Missing"}), texts_of(sections))
        << "field 1 only, in the reverse order of the lines";
    free_string_list(sections);
    EXPECT_EQ(1, inf_names_device(inf_path, record.device_ids, record.device_names));
    EXPECT_EQ(0, inf_section_names_device(inf_path, "Missing", record.device_ids, record.device_names));
}

TEST_F(InfReadingTest, AFileWithoutSignatureIsNotTheProducts) {
    plant_inf(machine, "oem7.inf", inf_text("uninstallable", "USB\\VID_FFFF&PID_0001", "$Unknown$"));
    EXPECT_EQ(0, inf_allows_uninstall(inf_path, OS_WINXP, 0));
    EXPECT_EQ(0, inf_names_device(inf_path, record.device_ids, record.device_names));
}

TEST_F(InfReadingTest, EachQuestionClosesTheFile) {
    names("USB\\VID_FFFF&PID_0001");
    EXPECT_EQ(machine.calls_to("SetupOpenInfFileA").size(), machine.calls_to("SetupCloseInfFile").size());
    EXPECT_EQ(2u, machine.calls_to("SetupOpenInfFileA").size()) << "once for the list, once for the section";
}

}  // namespace
