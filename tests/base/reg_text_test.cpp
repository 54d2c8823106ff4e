// String values read whole and as stored, or not at all: data without its terminator, data
// that fills the buffer, a cut double-byte character, and texts that the NT family keeps in
// Unicode and the ANSI functions hand back in their best-fit form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/os_class.h"
#include "base/reg_helpers.h"
#include "support/cp932.h"
#include "support/sim_test.h"

namespace {

const char kKey[] = "Software\\S";

struct stored_bytes {
    const char *what;
    DWORD type;
    std::string data;  // as stored, terminator included only where written
    DWORD size;        // the reader's buffer
    const char *read;  // nullptr: refused
};

const stored_bytes kBytes[] = {
    {"terminated", REG_SZ, std::string("K440dT", 7), 260, "K440dT"},
    {"without terminator, read whole", REG_SZ, "K440dT", 260, "K440dT"},
    {"expandable, without terminator", REG_EXPAND_SZ, "%SystemRoot%\\x", 260, "%SystemRoot%\\x"},
    {"multi-string, last without terminator", REG_MULTI_SZ, std::string("first\0second", 12), 260,
     "first"},
    {"terminated, exactly fills the buffer", REG_SZ, std::string("abc", 4), 4, "abc"},
    {"without terminator, fills the buffer", REG_SZ, "abcd", 4, nullptr},
    {"ends in a lone lead byte", REG_SZ, "K440d\x93", 260, nullptr},
    {"lone lead byte before the terminator", REG_SZ, std::string("K440d\x93", 7), 260, nullptr},
    {"whole double-byte character at the end", REG_SZ, std::string("K440d\x93\xfa", 8), 260,
     "K440d\x93\xfa"},
};

struct stored_unicode {
    const char *what;
    std::u16string text;
    bool terminated;
    const char *read;  // nullptr: refused
};

const stored_unicode kUnicode[] = {
    {"yen sign that reads as a backslash", u"C:\\Program Files\\halvenor\u00A5K440dT", true, nullptr},
    {"accent that reads as another letter", u"C:\\Program Files\\caf\u00E9", true, nullptr},
    {"best fit without terminator", u"C:\\halvenor\u00A5K440dT", false, nullptr},
    {"plain text", u"C:\\Program Files\\halvenor\\K440dT", true, "C:\\Program Files\\halvenor\\K440dT"},
    {"plain text without terminator", u"C:\\K440dT", false, "C:\\K440dT"},
};

class RegText : public SimTest {
  protected:
    std::string read(const char *name, DWORD size, int *result) {
        std::vector<char> buffer(size + 1, 'Z');
        *result = reg_read_string(kKey, name, buffer.data(), size);
        return std::string(buffer.data());
    }
};

TEST_F(RegText, StoredBytesAreReadWholeOrNotAtAll) {
    for (int os_class : {OS_WINXP, OS_WIN98}) {
        use_os(os_class);
        for (const stored_bytes &row : kBytes) {
            SCOPED_TRACE(std::string(row.what) + (os_class == OS_WIN98 ? " on 98" : " on XP"));
            machine.registry.set_value(kKey, "v", row.type,
                                       std::vector<uint8_t>(row.data.begin(), row.data.end()));
            int rc = -1;
            std::string text = read("v", row.size, &rc);
            EXPECT_EQ(row.read ? 1 : 0, rc);
            EXPECT_EQ(row.read ? row.read : "", text);
        }
    }
}

TEST_F(RegText, NtTextsAreReadOnlyWhenTheirAnsiFormIsTheStoredText) {
    for (const stored_unicode &row : kUnicode) {
        SCOPED_TRACE(row.what);
        machine.registry.set_unicode_string(kKey, "v", REG_SZ, row.text, row.terminated);
        int rc = -1;
        std::string text = read("v", 260, &rc);
        EXPECT_EQ(row.read ? 1 : 0, rc);
        EXPECT_EQ(row.read ? row.read : "", text);
    }
}

TEST_F(RegText, JapaneseTextsTheCodePageHoldsAreRead) {
    machine.registry.set_unicode_string(kKey, "v", REG_SZ, u"C:\\\u65E5\u672C\\K440dT");
    int rc = -1;
    EXPECT_EQ(cp932("C:\\日本\\K440dT"), read("v", 260, &rc));
    EXPECT_EQ(1, rc);
}

}  // namespace
