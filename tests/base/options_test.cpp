// Switch parsing and the OS words of "-ensure_win".
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/options.h"
#include "base/os_class.h"
#include "base/run_record.h"

namespace {

run_record record_on(int os_class) {
    run_record r;
    std::memset(&r, 0, sizeof r);
    r.os_class = os_class;
    return r;
}

int parse(const char *text, run_record *r) { return parse_options(text, r); }

}  // namespace

TEST(ParseOptions, EverySwitchSetsItsOwnFlag) {
    struct {
        const char *text;
        int run_record::*flag;
    } cases[] = {
        {"-quiet", &run_record::quiet},
        {"-leave_source", &run_record::leave_source},
        {"-msi_mode", &run_record::msi_mode},
        {"-prefix_only", &run_record::prefix_only},
        {"-force_rebootprompt", &run_record::force_rebootprompt},
        {"-force_rebooting", &run_record::force_rebooting},
        {"-ignore_before_reboot_cmd", &run_record::ignore_before_reboot_cmd},
        {"-before_rebooting", &run_record::before_rebooting},
        {"-skip_inf_validation", &run_record::skip_inf_validation},
        {"-dry_run", &run_record::dry_run},
    };
    for (const auto &c : cases) {
        run_record r = record_on(OS_WINXP);
        ASSERT_EQ(0, parse(c.text, &r)) << c.text;
        EXPECT_EQ(1, r.*(c.flag)) << c.text << " sets its flag";
        int set = r.quiet + r.leave_source + r.msi_mode + r.show_error + r.prefix_only +
                  r.force_rebootprompt + r.force_rebooting + r.ignore_before_reboot_cmd +
                  r.before_rebooting + r.skip_inf_validation + r.dry_run;
        EXPECT_EQ(1, set) << c.text << " sets no other flag";
    }
}

TEST(ParseOptions, LanguageSwitchesForceALanguageAndTheLastOneWins) {
    struct {
        const char *text;
        int result;
        int language;
    } rows[] = {
        {"-LANGUAGE_English", 0, LANGUAGE_ENGLISH},
        {"-language_japanese -leave_source", 0, LANGUAGE_JAPANESE},
        {"-language_english -language_japanese", 0, LANGUAGE_JAPANESE},
        {"-language", 8, 0},
        {"-language_french", 8, 0},
    };
    for (const auto &row : rows) {
        run_record r = record_on(OS_WINXP);
        EXPECT_EQ(row.result, parse(row.text, &r)) << row.text;
        EXPECT_EQ(row.language, r.forced_language) << row.text;
    }
}

TEST(ParseOptions, TwoSwitchesInOneTextSetBothFlags) {
    run_record r = record_on(OS_WINXP);
    EXPECT_EQ(0, parse("-quiet -leave_source", &r));
    EXPECT_EQ(1, r.quiet);
    EXPECT_EQ(1, r.leave_source);
}

TEST(ParseOptions, SwitchNamesMatchWithoutRegardToCaseAndAsPrefixes) {
    run_record r = record_on(OS_WINXP);
    EXPECT_EQ(0, parse("-Quiet", &r));
    EXPECT_EQ(1, r.quiet);
    run_record r2 = record_on(OS_WINXP);
    EXPECT_EQ(0, parse("-QUIETLY,please -LEAVE_SOURCEx", &r2))
        << "whatever follows a matched name up to the next dash is ignored";
    EXPECT_EQ(1, r2.quiet);
    EXPECT_EQ(1, r2.leave_source);
}

TEST(ParseOptions, TextOutsideSwitchesIsIgnored) {
    run_record r = record_on(OS_WINXP);
    EXPECT_EQ(0, parse("", &r));
    EXPECT_EQ(0, parse("no switches here at all", &r));
    EXPECT_EQ(0, r.quiet);
    EXPECT_EQ(0, parse("leading words -quiet trailing words", &r));
    EXPECT_EQ(1, r.quiet);
}

TEST(ParseOptions, UnknownSwitchesAndALoneDashAreRefusedWith8) {
    run_record r = record_on(OS_WINXP);
    EXPECT_EQ(8, parse("-bogus", &r));
    EXPECT_EQ(8, parse("-quiet -", &r)) << "a dash at the end of the text";
    EXPECT_EQ(8, parse("-quiet well-known", &r)) << "every dash begins a switch";
    EXPECT_EQ(8, parse("-qui", &r)) << "a cut switch name is no switch";
    EXPECT_EQ(1, r.quiet) << "flags set before the failure stay set";
}

TEST(ParseOptions, ShowErrorIsDroppedWithoutQuietOnlyAtTheEndOfAWholeParse) {
    run_record alone = record_on(OS_WINXP);
    EXPECT_EQ(0, parse("-show_error", &alone));
    EXPECT_EQ(0, alone.show_error);
    run_record with_quiet = record_on(OS_WINXP);
    EXPECT_EQ(0, parse("-show_error -quiet", &with_quiet));
    EXPECT_EQ(1, with_quiet.show_error);
    run_record failed = record_on(OS_WINXP);
    EXPECT_EQ(8, parse("-show_error -bogus", &failed));
    EXPECT_EQ(1, failed.show_error) << "an unfinished parse keeps the flag";
}

TEST(ParseOptions, EnsureWinAcceptsOnlyTheWordsOfTheRunningSystem) {
    struct {
        const char *text;
        int os_class;
        int expected;
    } cases[] = {
        {"-ensure_winxp", OS_WINXP, 0},      {"-ensure_winxp", OS_WIN2000, 10},
        {"-ensure_winver5", OS_WIN2000, 0},  {"-ensure_winver5", OS_WINXP, 0},
        {"-ensure_winver5", OS_WIN2003, 0},  {"-ensure_winver5", OS_LATER_NT, 10},
        {"-ensure_win98", OS_WIN98_SE, 10},  {"-ensure_win98se", OS_WIN98_SE, 0},
        {"-ensure_win98", OS_WIN98, 0},      {"-ensure_win98vers", OS_WIN98, 0},
        {"-ensure_win98vers", OS_WIN98_SE, 0}, {"-ensure_win98vers", OS_WINME, 10},
        {"-ensure_winme", OS_WINME, 0},      {"-ensure_winver4", OS_WINME, 0},
        {"-ensure_winver4", OS_WIN98, 0},    {"-ensure_winver4", OS_WIN2000, 10},
        {"-ensure_win2k", OS_WIN2000, 0},    {"-ensure_winserv2003", OS_WIN2003, 0},
        {"-ensure_winserv2003", OS_WINXP, 10}, {"-ENSURE_WINXP", OS_WINXP, 0},
        {"-ensure_win5.1", OS_WINXP, 10},    {"-ensure_win", OS_WINXP, 10},
    };
    for (const auto &c : cases) {
        run_record r = record_on(c.os_class);
        EXPECT_EQ(c.expected, parse(c.text, &r)) << c.text << " on OS class " << c.os_class;
    }
    for (int os_class = 0; os_class <= 10; ++os_class) {
        run_record r = record_on(os_class);
        EXPECT_EQ(10, parse("-ensure_win10", &r)) << "a bare version number, class " << os_class;
    }
}

TEST(ParseOptions, NoWordAcceptsLaterNtSystems) {
    const char *words[] = {"win98vers", "win98se", "win98", "winme", "winver4",
                           "win2k", "winxp", "winserv2003", "winver5"};
    for (const char *w : words) {
        int verdict = -1;
        match_os_word(w, OS_LATER_NT, &verdict);
        EXPECT_EQ(0, verdict) << w;
    }
}

TEST(ParseOptions, RefusedEnsureWinKeepsEarlierFlags) {
    run_record r = record_on(OS_WINXP);
    EXPECT_EQ(10, parse("-quiet -ensure_winme -leave_source", &r));
    EXPECT_EQ(1, r.quiet);
    EXPECT_EQ(0, r.leave_source) << "the parse ends at the refusal";
}

TEST(ParseOptions, ParsingGoesOnAfterAnAcceptedWord) {
    run_record r = record_on(OS_WINXP);
    EXPECT_EQ(0, parse("-ensure_winxp -quiet", &r));
    EXPECT_EQ(1, r.quiet);
    run_record glued = record_on(OS_WINXP);
    EXPECT_EQ(0, parse("-ensure_winxp-quiet", &glued)) << "the next dash may follow the word";
    EXPECT_EQ(1, glued.quiet);
}

TEST(MatchOsWord, ReturnsThePositionAfterTheMatchedWord) {
    const char *text = "win98se rest";
    int verdict = -1;
    EXPECT_EQ(text + 7, match_os_word(text, OS_WIN98_SE, &verdict))
        << "win98se is compared before win98";
    EXPECT_EQ(1, verdict);
    const char *unknown = "winfoo";
    EXPECT_EQ(unknown, match_os_word(unknown, OS_WINXP, &verdict));
    EXPECT_EQ(0, verdict);
}

TEST(ParseOptions, DashInsideADoubleByteCharacterIsNoSwitch) {
    // 0x81 0x2D is one double-byte character of code page 932 whose trail byte is '-'.
    run_record r = record_on(OS_WINXP);
    EXPECT_EQ(0, parse("\x81-quiet", &r)) << "the trail byte must not start a switch";
    EXPECT_EQ(0, r.quiet);
    EXPECT_EQ(0, parse("\x81\x2d -quiet", &r));
    EXPECT_EQ(1, r.quiet);
}

TEST(ParseOptions, LoneLeadByteAtTheEndOfTheTextStopsTheSearch) {
    run_record r = record_on(OS_WINXP);
    EXPECT_EQ(0, parse("-quiet \x81", &r));
    EXPECT_EQ(1, r.quiet);
}

TEST(ParseOptions, LogFileTakesThePathToTheNextBlankOrTheClosingQuote) {
    struct {
        const char *text;
        int result;
        const char *log_file;
        int quiet;
    } cases[] = {
        {"-log_file:C:\\run.log -quiet", 0, "C:\\run.log", 1},
        {"-LOG_FILE:C:\\run.log", 0, "C:\\run.log", 0},
        {"-log_file:C:\\my-logs\\-quiet.log", 0, "C:\\my-logs\\-quiet.log", 0},
        {"-log_file:\"C:\\my logs\\a-b.log\" -quiet", 0, "C:\\my logs\\a-b.log", 1},
        {"-log_file:\"C:\\x.log\"-quiet", 0, "C:\\x.log", 1},
        {"-log_file:C:\\a.log -log_file:C:\\b.log", 0, "C:\\a.log", 0},
        {"-log_file:", 8, "", 0},
        {"-log_file: -quiet", 8, "", 0},
        {"-log_file:\"\"", 8, "", 0},
        {"-log_file:\"C:\\open quote -quiet", 8, "", 0},
        {"-log_file", 8, "", 0},
        {"-log_fileC:\\x.log", 8, "", 0},
        // A device rather than a file: the raw disk, the long-path and NT prefixes, device names.
        {"-log_file:\\\\.\\PhysicalDrive0 -quiet", 8, "", 0},
        {"-log_file://./PhysicalDrive0", 8, "", 0},
        {"-log_file:\\\\?\\C:\\run.log", 8, "", 0},
        {"-log_file:\\??\\C:\\run.log", 8, "", 0},
        {"-log_file:C:\\logs\\CON", 8, "", 0},
        {"-log_file:\"C:\\my logs\\nul.txt\"", 8, "", 0},
        {"-log_file:LPT1:", 8, "", 0},
        {"-log_file:C:\\console.log", 0, "C:\\console.log", 0},
    };
    for (const auto &c : cases) {
        run_record r = record_on(OS_WINXP);
        EXPECT_EQ(c.result, parse(c.text, &r)) << c.text;
        EXPECT_STREQ(c.log_file, r.log_file) << c.text;
        EXPECT_EQ(c.quiet, r.quiet) << c.text;
    }
}

TEST(ParseOptions, LogPathThatDoesNotFitIsRefusedNotCut) {
    std::string fits = "C:\\" + std::string(PATH_SIZE - 4, 'a');  // 259 bytes
    std::string too_long = fits + "b";
    run_record r = record_on(OS_WINXP);
    EXPECT_EQ(0, parse(("-log_file:" + fits).c_str(), &r));
    EXPECT_EQ(fits, r.log_file);
    run_record r2 = record_on(OS_WINXP);
    EXPECT_EQ(8, parse(("-log_file:\"" + too_long + "\"").c_str(), &r2));
    EXPECT_STREQ("", r2.log_file) << "never cut to 259 bytes";
}
