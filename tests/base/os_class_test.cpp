// The running Windows as an OS class, from the version answer.
#include <gtest/gtest.h>

#include "base/os_class.h"
#include "support/sim_test.h"

class OsClassTest : public SimTest {
  protected:
    int classify(DWORD platform, DWORD major, DWORD minor, DWORD build, const char *sp) {
        machine.version.query_fails = false;
        machine.version.platform = platform;
        machine.version.major = major;
        machine.version.minor = minor;
        machine.version.build = build;
        machine.version.service_pack = sp;
        return classify_os();
    }
};

TEST_F(OsClassTest, EverySimulatedReleaseGetsItsClass) {
    for (int os_class = 0; os_class <= 10; ++os_class) {
        machine.set_os_class(os_class);
        EXPECT_EQ(os_class, classify_os()) << "version answer of class " << os_class;
    }
}

TEST_F(OsClassTest, AsksWithAZeroFilledRecordOf148Bytes) {
    classify_os();
    auto calls = machine.calls_to("GetVersionExA");
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ("148", calls[0].detail);
}

TEST_F(OsClassTest, FailingQueryIsUnknown) {
    machine.version.query_fails = true;
    EXPECT_EQ(OS_UNKNOWN, classify_os());
}

TEST_F(OsClassTest, Windows9xReleasesByMinorVersionAndServicePackText) {
    EXPECT_EQ(OS_WIN95, classify(1, 4, 0, 950, ""));
    EXPECT_EQ(OS_WIN95, classify(1, 4, 0, 950, " A"));
    EXPECT_EQ(OS_WIN95_OSR2, classify(1, 4, 0, 1111, " B"));
    EXPECT_EQ(OS_WIN95_OSR2, classify(1, 4, 0, 1111, " C"));
    EXPECT_EQ(OS_WIN95, classify(1, 4, 0, 1111, " b")) << "the comparison is case-sensitive";
    EXPECT_EQ(OS_WIN98, classify(1, 4, 10, 0x040A07CE, ""));
    EXPECT_EQ(OS_WIN98_SE, classify(1, 4, 10, 0x040A08AE, " A "));
    EXPECT_EQ(OS_WINME, classify(1, 4, 10, 0x040A0BB8, "")) << "98 with build 3000 is ME";
    EXPECT_EQ(OS_WIN98_SE, classify(1, 4, 10, 0x040A0BB8, " A")) << "the A wins over build 3000";
    EXPECT_EQ(OS_WINME, classify(1, 4, 90, 3000, ""));
    EXPECT_EQ(OS_UNKNOWN, classify(1, 4, 20, 0, ""));
    EXPECT_EQ(OS_UNKNOWN, classify(1, 5, 0, 0, ""));
}

TEST_F(OsClassTest, NtReleasesByVersion) {
    EXPECT_EQ(OS_NT4, classify(2, 4, 0, 1381, "Service Pack 6"));
    EXPECT_EQ(OS_NT4, classify(2, 3, 51, 1057, ""));
    EXPECT_EQ(OS_WIN2000, classify(2, 5, 0, 2195, ""));
    EXPECT_EQ(OS_WINXP, classify(2, 5, 1, 2600, ""));
    EXPECT_EQ(OS_WIN2003, classify(2, 5, 2, 3790, ""));
    EXPECT_EQ(OS_LATER_NT, classify(2, 5, 3, 0, "")) << "NT 5.3 is no real release";
    EXPECT_EQ(OS_LATER_NT, classify(2, 6, 0, 6000, ""));
    EXPECT_EQ(OS_LATER_NT, classify(2, 10, 0, 19045, ""));
}

TEST_F(OsClassTest, OtherPlatformsAreUnknown) {
    EXPECT_EQ(OS_UNKNOWN, classify(0, 3, 10, 0, ""));
    EXPECT_EQ(OS_UNKNOWN, classify(3, 5, 1, 0, ""));
}
