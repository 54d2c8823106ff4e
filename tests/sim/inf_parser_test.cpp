// The simulated INF parser behind SetupOpenInfFileA and its companions.
#include <gtest/gtest.h>

#include "platform/win32.h"
#include "support/sim_test.h"

namespace {

class InfParserTest : public SimTest {
  protected:
    // Opens a planted INF; INVALID_HANDLE_VALUE when the parser refuses it.
    HINF open(const std::string &text) {
        machine.files.write_file("C:\\WINDOWS\\inf\\t.inf", text);
        HINF inf = SetupOpenInfFileA("C:\\WINDOWS\\inf\\t.inf", nullptr, INF_STYLE_WIN4, nullptr);
        if (inf != INVALID_HANDLE_VALUE) opened_.push_back(inf);
        return inf;
    }
    void TearDown() override {
        for (HINF inf : opened_) SetupCloseInfFile(inf);
        SimTest::TearDown();
    }
    // Field `index` of the line with `key` in `section`; "<none>" when there is none.
    std::string field(HINF inf, const char *section, const char *key, DWORD index) {
        INFCONTEXT line;
        if (!SetupFindFirstLineA(inf, section, key, &line)) return "<none>";
        char buffer[512];
        if (!SetupGetStringFieldA(&line, index, buffer, sizeof buffer, nullptr)) return "<none>";
        return buffer;
    }
    std::vector<HINF> opened_;
};

const char version[] = "[Version]\nSignature=\"$Windows NT$\"\n";

TEST_F(InfParserTest, Win4StyleNeedsTheSignature) {
    EXPECT_EQ(INVALID_HANDLE_VALUE, open("[Version]\nSignature=\"$Something$\"\n[A]\nx=1\n"));
    EXPECT_EQ((DWORD)ERROR_WRONG_INF_STYLE, GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, open("[A]\nx=1\n")) << "no [Version] section at all";
    EXPECT_NE(INVALID_HANDLE_VALUE, open("[version]\nsignature=$chicago$\n")) << "names and signature ignore case";
    EXPECT_EQ(INVALID_HANDLE_VALUE, SetupOpenInfFileA("C:\\WINDOWS\\inf\\none.inf", nullptr, INF_STYLE_WIN4, nullptr));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
    EXPECT_EQ((int)opened_.size(), process.open_handles) << "each open INF counts as a handle";
}

TEST_F(InfParserTest, SectionsKeysCommentsAndQuotes) {
    HINF inf = open(std::string(version) +
                    "; a comment line\n"
                    "[Models]\n"
                    "  Desc Text = Install , \"USB\\VID_FFFF&PID_0001, quoted\" ,  last  ; comment\n"
                    "[models]\n"
                    "Quote=\"say \"\"hi\"\"\"\n");
    ASSERT_NE(INVALID_HANDLE_VALUE, inf);
    EXPECT_EQ("Desc Text", field(inf, "MODELS", "desc text", 0)) << "field 0 is the key, trimmed";
    EXPECT_EQ("Install", field(inf, "models", "Desc Text", 1));
    EXPECT_EQ("USB\\VID_FFFF&PID_0001, quoted", field(inf, "models", "Desc Text", 2)) << "a comma inside quotes";
    EXPECT_EQ("last", field(inf, "models", "Desc Text", 3)) << "the comment is not part of the field";
    EXPECT_EQ("<none>", field(inf, "models", "Desc Text", 4));
    EXPECT_EQ("say \"hi\"", field(inf, "models", "Quote", 1)) << "sections of the same name are merged";
}

TEST_F(InfParserTest, ContinuationAndSubstitution) {
    HINF inf = open(std::string(version) +
                    "[Manufacturer]\n"
                    "%Mfg%=Models,\\\n"
                    "   NTx86\n"
                    "[Strings]\n"
                    "MFG=\"Halvenor, Inc.\"\n"
                    "Percent=100%%\n"
                    "Unknown=%nothing%\n");
    ASSERT_NE(INVALID_HANDLE_VALUE, inf);
    EXPECT_EQ("Halvenor, Inc.", field(inf, "Manufacturer", nullptr, 0)) << "%key% in a key, without splitting at its comma";
    EXPECT_EQ("NTx86", field(inf, "Manufacturer", nullptr, 2)) << "a backslash at the end continues the line";
    EXPECT_EQ("100%", field(inf, "Strings", "Percent", 1));
    EXPECT_EQ("%nothing%", field(inf, "Strings", "Unknown", 1)) << "an undefined key stays as written";
}

TEST_F(InfParserTest, DoubleByteTrailBytesAreNoSyntax) {
    // 0x83 0x5C is one character of code page 932 whose second byte is a backslash.
    HINF inf = open(std::string(version) + "[S]\nName=\"\x83\x5C\"\nNext=1\n");
    ASSERT_NE(INVALID_HANDLE_VALUE, inf);
    EXPECT_EQ("\x83\x5C", field(inf, "S", "Name", 1));
    EXPECT_EQ("1", field(inf, "S", "Next", 1)) << "the trail byte did not continue the line";
}

TEST_F(InfParserTest, FieldLargerThanTheBufferIsRefused) {
    HINF inf = open(std::string(version) + "[S]\nKey=" + std::string(40, 'x') + "\n");
    INFCONTEXT line;
    ASSERT_TRUE(SetupFindFirstLineA(inf, "S", "Key", &line));
    char small[16];
    DWORD needed = 0;
    EXPECT_FALSE(SetupGetStringFieldA(&line, 1, small, sizeof small, &needed));
    EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, GetLastError());
    EXPECT_EQ(41u, needed);
    EXPECT_TRUE(SetupGetStringFieldA(&line, 1, nullptr, 0, &needed)) << "no buffer: a size query";
}

TEST_F(InfParserTest, LinesAreWalkedWithinOneSection) {
    HINF inf = open(std::string(version) + "[S]\na=1\nb=2\n[T]\nc=3\n[Empty]\n");
    INFCONTEXT line;
    ASSERT_TRUE(SetupFindFirstLineA(inf, "S", nullptr, &line));
    ASSERT_TRUE(SetupFindNextLine(&line, &line));
    EXPECT_FALSE(SetupFindNextLine(&line, &line)) << "the walk ends with the section";
    EXPECT_EQ((DWORD)ERROR_LINE_NOT_FOUND, GetLastError());
    EXPECT_FALSE(SetupFindFirstLineA(inf, "Empty", nullptr, &line));
    EXPECT_FALSE(SetupFindFirstLineA(inf, "Missing", nullptr, &line));
    EXPECT_FALSE(SetupFindFirstLineA(inf, "S", "c", &line)) << "a key of another section";
}

}  // namespace
