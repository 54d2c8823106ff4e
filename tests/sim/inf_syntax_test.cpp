// The simulated SetupAPI reads INF texts as Windows does: one row per syntax rule, each an INF
// file, a section and the lines SetupGetStringFieldA gives for it (or the error of the open).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "support/sim_test.h"

namespace {

const std::string version = "[Version]\nSignature=\"$Windows NT$\"\n";

// UTF-16LE of ASCII text, with the byte-order mark when `bom`.
std::string utf16(const std::string &ascii, bool bom) {
    std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
    for (char c : ascii) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

// A comment long enough that a NUL byte after it lies beyond the bytes that the test for
// UTF-16 text looks at.
const std::string long_comment = "; " + std::string(600, '-') + "\n";

struct SyntaxRow {
    const char *rule;
    std::string file;
    DWORD open_error;   // 0: the file opens
    std::string section;
    std::vector<std::string> lines;  // "field 0|field 1|...", "(none)" for a refused field 0
};

const std::vector<SyntaxRow> &syntax_rows() {
    static const std::vector<SyntaxRow> rows = {
        {"plain keys, quotes and comments", version + "[S]\n k = \"a, b\" , c ;x\nlone\n1,2\n",
         0, "S", {"k|a, b|c", "lone|lone", "(none)|1|2"}},
        {"UTF-16LE with a byte-order mark", utf16(version + "[S]\nA=1\n", true), 0, "S", {"A|1"}},
        {"UTF-16LE without a byte-order mark", utf16(version + "[S]\nA=1\n", false), 0, "S",
         {"A|1"}},
        {"UTF-8 after its byte-order mark, read into the code page",
         "\xEF\xBB\xBF" + version + "[S]\nA=\xE6\x97\xA5\n", 0, "S", {"A|\x93\xFA"}},
        {"backslash at the end continues the line, without the indentation",
         version + "[S]\nA=one,\\\ntwo\nB=x\\ \n  y\n", 0, "S", {"A|one|two", "B|xy"}},
        {"backslash before a comment continues the line", version + "[S]\nA=one,\\ ; note\n  two\n",
         0, "S", {"A|one|two"}},
        {"backslash inside text is text", version + "[S]\nA=c:\\dir\\x\n", 0, "S",
         {"A|c:\\dir\\x"}},
        {"blanks inside brackets belong to the name", version + "[ S ]\nA=1\n", 0, "S", {}},
        {"blanks inside brackets, looked up with them", version + "[ S ]\nA=1\n", 0, " S ",
         {"A|1"}},
        {"unterminated section header", version + "[Install\nA=1\n", ERROR_BAD_SECTION_NAME_LINE,
         "", {}},
        {"section name over 255 characters", version + "[" + std::string(256, 'n') + "]\n",
         ERROR_SECTION_NAME_TOO_LONG, "", {}},
        {"section name of 255 characters", version + "[" + std::string(255, 'n') + "]\nA=1\n", 0,
         std::string(255, 'n'), {"A|1"}},
        {"Ctrl-Z ends the file", version + "[S]\nA=1\x1a\nB=2\n", 0, "S", {"A|1"}},
        {"text before the first section", "junk\n" + version, ERROR_EXPECTED_SECTION_NAME, "", {}},
        {"text before the first section of a file with [Strings]",
         "junk\n" + version + "[Strings]\n", 0, "Version", {"Signature|$Windows NT$"}},
        {"fields are cut at 511 characters", version + "[S]\nA=" + std::string(600, 'v') + "\n", 0,
         "S", {"A|" + std::string(511, 'v')}},
        {"$Windows 95$ is a signature too", "[Version]\nSignature=$Windows 95$\n[S]\nA=1\n", 0,
         "S", {"A|1"}},
        {"the signature is read as written",
         "[Version]\nSignature=%sig%\n[Strings]\nsig=\"$Windows NT$\"\n", ERROR_WRONG_INF_STYLE,
         "", {}},
        {"a NUL byte reads as a blank",
         version + long_comment + std::string("[S]\nA=a\0b\0\n", 11), 0, "S", {"A|a b "}},
        {"substitution of strings, %% and what is unknown",
         version + "[S]\nA=%Name%,100%%,%none%,50%\n[Strings]\nname=\"x, y\"\n", 0, "S",
         {"A|x, y|100%|%none%|50%"}},
        {"directory ids", version + "[S]\nA=%10%,%11%,%12%\\k.sys,%17%,%1%\\k.inf,%24%\n", 0, "S",
         {"A|C:\\WINDOWS|C:\\WINDOWS\\system32|C:\\WINDOWS\\system32\\drivers\\k.sys|"
          "C:\\WINDOWS\\inf|C:\\WINDOWS\\inf\\k.inf|C:\\"}},
        {"a lead byte without its trail byte reads as the default character",
         version + "[S]\nA=ab\x82\nB=\x82\x0a\n", 0, "S", {"A|ab\x81\x45", "B|\x81\x45"}},
        {"a UTF-16 character beyond the code page reads as one ? per unit",
         std::string("\xFF\xFE", 2) + utf16(version + "[S]\nA=", false) +
             std::string("\x3D\xD8\x00\xDE", 4) + utf16("\n", false),
         0, "S", {"A|??"}},
        {"names ignore the case of ASCII letters", version + "[Sect]\nA=1\n", 0, "sECT", {"A|1"}},
        {"full-width and Greek names compare exactly", version + "[\x82\x60\x83\x9F]\nA=1\n", 0,
         "\x82\x81\x83\xBF", {}},
        {"a trail byte in the range of ASCII letters is not folded",
         version + "[\x83\x41]\nA=1\n", 0, "\x83\x61", {}},
    };
    return rows;
}

class InfSyntaxTest : public SimTest {
  protected:
    std::string field(INFCONTEXT *line, DWORD index) {
        char buffer[1024];
        if (!SetupGetStringFieldA(line, index, buffer, sizeof buffer, nullptr)) return "(none)";
        return buffer;
    }
    std::vector<std::string> lines(HINF inf, const std::string &section) {
        std::vector<std::string> out;
        INFCONTEXT line;
        if (!SetupFindFirstLineA(inf, section.c_str(), nullptr, &line)) return out;
        do {
            std::string text = field(&line, 0);
            for (DWORD i = 1; i <= SetupGetFieldCount(&line); ++i) text += "|" + field(&line, i);
            out.push_back(text);
        } while (SetupFindNextLine(&line, &line));
        return out;
    }
};

TEST_F(InfSyntaxTest, EachRuleReadsAsOnWindows) {
    for (const SyntaxRow &row : syntax_rows()) {
        machine.files.write_file("C:\\WINDOWS\\inf\\t.inf", row.file);
        SetLastError(0);
        HINF inf = SetupOpenInfFileA("C:\\WINDOWS\\inf\\t.inf", nullptr, INF_STYLE_WIN4, nullptr);
        if (row.open_error) {
            EXPECT_EQ(INVALID_HANDLE_VALUE, inf) << row.rule;
            EXPECT_EQ(row.open_error, GetLastError()) << row.rule;
            if (inf != INVALID_HANDLE_VALUE) SetupCloseInfFile(inf);
            continue;
        }
        if (inf == INVALID_HANDLE_VALUE) {
            ADD_FAILURE() << row.rule << ": the open failed with " << std::hex << GetLastError();
            continue;
        }
        EXPECT_EQ(row.lines, lines(inf, row.section)) << row.rule;
        SetupCloseInfFile(inf);
    }
}

TEST_F(InfSyntaxTest, NoBreakSpaceIsABlankOnlyInCodePage1252) {
    const std::string file = version + "[S]\nA=a\xA0" "b\xA0\n";
    const struct {
        unsigned code_page;
        const char *line;
    } rows[] = {{1252, "A|a\xA0" "b"}, {932, "A|a\xA0" "b\xA0"}};
    for (const auto &row : rows) {
        machine.code_page = row.code_page;
        machine.files.write_file("C:\\WINDOWS\\inf\\t.inf", file);
        HINF inf = SetupOpenInfFileA("C:\\WINDOWS\\inf\\t.inf", nullptr, INF_STYLE_WIN4, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, inf);
        EXPECT_EQ(std::vector<std::string>{row.line}, lines(inf, "S")) << row.code_page;
        SetupCloseInfFile(inf);
    }
}

TEST_F(InfSyntaxTest, RuntimeCaseMappingPairsFullWidthLatinAndGreekOnly) {
    struct Pair {
        const char *upper, *lower;
        bool paired;
    };
    const Pair pairs[] = {
        {"A", "a", true},
        {"\x82\x60", "\x82\x81", true},    // full-width A, a
        {"\x82\x79", "\x82\x9A", true},    // full-width Z, z
        {"\x83\x9F", "\x83\xBF", true},    // Greek alpha
        {"\x84\x40", "\x84\x70", false},   // Cyrillic A: the runtime leaves it
        {"\x82\x60", "a", false},          // full-width and ASCII stay apart
    };
    for (const Pair &p : pairs) {
        EXPECT_EQ(p.paired, _mbsicmp((const unsigned char *)p.upper, (const unsigned char *)p.lower) == 0)
            << p.upper;
        std::string text = p.upper;
        _mbslwr((unsigned char *)&text[0]);
        EXPECT_EQ(p.paired, text == p.lower) << p.upper;
        _mbsupr((unsigned char *)&text[0]);
        EXPECT_EQ(std::string(p.upper), text) << p.upper;
    }
}

}  // namespace
