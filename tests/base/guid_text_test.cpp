// GUID texts into GUIDs.
#include <gtest/gtest.h>

#include <cstring>

#include "base/guid_text.h"

namespace {

TEST(GuidTextTest, ParsesEveryField) {
    GUID g;
    ASSERT_EQ(1, parse_guid_text("{36FC9E60-C465-11CF-8056-444553540000}", &g));
    EXPECT_EQ(0x36FC9E60u, g.Data1);
    EXPECT_EQ(0xC465, g.Data2);
    EXPECT_EQ(0x11CF, g.Data3);
    const uint8_t fourth[8] = {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
    EXPECT_EQ(0, std::memcmp(fourth, g.Data4, 8)) << "two bytes, the dash, six bytes";
    GUID lower;
    ASSERT_EQ(1, parse_guid_text("{36fc9e60-c465-11cf-8056-444553540000}", &lower));
    EXPECT_EQ(0, std::memcmp(&g, &lower, sizeof g)) << "lower-case digits give the same GUID";
}

TEST(GuidTextTest, RejectsMalformedTexts) {
    GUID g;
    EXPECT_EQ(0, parse_guid_text("36FC9E60-C465-11CF-8056-444553540000", &g)) << "no braces";
    EXPECT_EQ(0, parse_guid_text("{36FC9E60-C465-11CF-8056-4445535400000}", &g)) << "39 characters";
    EXPECT_EQ(0, parse_guid_text("{36FC9E60+C465-11CF-8056-444553540000}", &g)) << "a dash missing";
    EXPECT_EQ(0, parse_guid_text("", &g));
    EXPECT_EQ(0, parse_guid_text(nullptr, &g));
    EXPECT_EQ(0, parse_guid_text("{36FC9E60-C465-11CF-8056-444553540000}", nullptr));
    const char good[] = "{36FC9E60-C465-11CF-8056-444553540000}";
    for (size_t at = 1; at < 37; ++at) {
        if (at == 9 || at == 14 || at == 19 || at == 24) continue;
        std::string bad = good;
        bad[at] = 'G';
        EXPECT_EQ(0, parse_guid_text(bad.c_str(), &g)) << "a G at " << at;
    }
}

}  // namespace
