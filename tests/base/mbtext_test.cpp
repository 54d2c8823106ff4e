// The text operations answer as the runtime's multibyte functions do (code page 932), for the
// plain ASCII texts they handle themselves and for the others they hand on.
#include <gtest/gtest.h>

#include <string>

#include "base/mbtext.h"
#include "platform/win32.h"

namespace {

const char *const kTexts[] = {
    "C:\\WINDOWS\\System32\\Drivers\\K440dTuc.sys",
    "no separator",
    "",
    "\x95\x5C\\K440dTuc.sys",        // a trail byte 0x5C, then the one backslash
    "C:\\K440\\\x95\x5C",            // the last byte 0x5C is a trail byte
    "\x82\x60\\\x82\x81.SYS",        // full-width letters, whose case the runtime maps
    "ends in a backslash\\",
};

std::string lowered_by_runtime(const char *text) {
    std::string copy = text;
    _mbslwr(reinterpret_cast<unsigned char *>(&copy[0]));
    return copy;
}

TEST(MbText, AnswersAsTheRuntime) {
    for (const char *text : kTexts) {
        const unsigned char *u = reinterpret_cast<const unsigned char *>(text);
        SCOPED_TRACE(text);
        EXPECT_EQ((const void *)_mbschr(u, '\\'), (const void *)mb_find_char(text, '\\'));
        EXPECT_EQ((const void *)_mbsrchr(u, '\\'), (const void *)mb_find_last_char(text, '\\'));
        EXPECT_EQ((const void *)_mbschr(u, 0), (const void *)mb_find_char(text, 0));
        for (const char *pattern : {"Drivers", "drivers", "", "\x5C"})
            EXPECT_EQ((const void *)_mbsstr(u, reinterpret_cast<const unsigned char *>(pattern)),
                      (const void *)mb_find_text(text, pattern));
        std::string lowered = text;
        mb_lower(&lowered[0]);
        EXPECT_EQ(lowered_by_runtime(text), lowered);
        for (const char *other : kTexts)
            EXPECT_EQ(_mbsicmp(u, reinterpret_cast<const unsigned char *>(other)) == 0,
                      mb_equal_nocase(text, other) != 0);
        EXPECT_TRUE(mb_equal_nocase(text, lowered.c_str()));
    }
}

}  // namespace
