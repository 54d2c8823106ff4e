// The language a run shows, on each kind of Windows: Japanese where the user's UI language is
// Japanese and Windows can show it, English elsewhere, and what the switches force. What is
// checked is the text as the user reads it (the Unicode text of the window).
#include <gtest/gtest.h>

#include <string>

#include "base/os_class.h"
#include "sim/code_page.h"
#include "support/sim_test.h"

namespace {

const WORD japanese_ui = 0x0411, english_ui = 0x0409;

struct LanguageRow {
    const char *name;
    int os_class;
    unsigned code_page;
    bool code_page_932;
    WORD ui_language;
    const char *switches;
    bool japanese;
    bool unicode_functions;
};

void PrintTo(const LanguageRow &row, std::ostream *out) { *out << row.name; }

const LanguageRow rows[] = {
    {"western XP", OS_WINXP, 1252, true, english_ui, "", false, false},
    {"western 98", OS_WIN98, 1252, true, english_ui, "", false, false},
    {"japanese XP", OS_WINXP, 932, true, japanese_ui, "", true, true},
    {"japanese 98", OS_WIN98, 932, true, japanese_ui, "", true, false},
    {"japanese UI, western code page", OS_WINXP, 1252, true, japanese_ui, "", true, true},
    {"japanese UI without code page 932", OS_WINXP, 1252, false, japanese_ui, "", false, false},
    {"english UI, code page 932", OS_WIN2003, 932, true, english_ui, "", false, false},
    {"english forced", OS_WINXP, 932, true, japanese_ui, "-language_english", false, false},
    {"japanese forced", OS_WIN2000, 1252, true, english_ui, "-language_japanese", true, true},
    {"japanese forced on western ME", OS_WINME, 1252, true, japanese_ui, "-language_japanese",
     false, false},
};

class ShownLanguage : public SimTest, public ::testing::WithParamInterface<LanguageRow> {};

TEST_P(ShownLanguage, DialogAndBoxesReadInTheRowsLanguage) {
    const LanguageRow &row = GetParam();
    use_os(row.os_class);
    machine.code_page = row.code_page;
    machine.code_page_932 = row.code_page_932;
    machine.ui_language = row.ui_language;
    run(row.switches);
    ASSERT_EQ(1u, machine.ui.dialogs.size());
    ASSERT_FALSE(machine.ui.boxes.empty());
    const sim::DialogWindow &dialog = machine.ui.dialogs[0];
    const sim::MessageBoxRecord &box = machine.ui.boxes.back();
    if (row.japanese) {
        EXPECT_EQ(sim::utf8_to_unicode(u8"ドライバのアンインストール"), dialog.unicode_title);
        EXPECT_EQ(sim::utf8_to_unicode(u8"中止"), dialog.control(1004)->unicode_text);
        EXPECT_EQ(sim::utf8_to_unicode(u8"KESA K440dTドライバを削除しました。"),
                  box.unicode_text);
    } else {
        EXPECT_EQ(u"Uninstall Driver", dialog.unicode_title);
        EXPECT_EQ(u"Cancel", dialog.control(1004)->unicode_text);
        EXPECT_EQ(u"The KESA K440dT driver was removed.", box.unicode_text);
    }
    EXPECT_EQ(row.unicode_functions, box.unicode);
    EXPECT_EQ(row.unicode_functions, !machine.calls_to("SetDlgItemTextW").empty());
    for (const sim::DialogControl &control : dialog.controls)
        EXPECT_EQ(!row.japanese, control.font != 0) << "English takes the system's dialog font";
}

INSTANTIATE_TEST_SUITE_P(Windows, ShownLanguage, ::testing::ValuesIn(rows),
                         [](const ::testing::TestParamInfo<LanguageRow> &info) {
                             std::string name;
                             for (const char *c = info.param.name; *c; ++c)
                                 if (isalnum((unsigned char)*c)) name += *c;
                             return name;
                         });

}  // namespace
