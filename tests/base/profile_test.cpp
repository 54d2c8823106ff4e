// The built-in profile: its values, and its Japanese texts as code page 932 bytes, checked
// against the C library's own CP932 encoder.
#include <gtest/gtest.h>

#include <string>

#include "base/profile.h"
#include "support/cp932.h"

namespace {

int count(text_list list) {
    int n = 0;
    while (list && list[n]) ++n;
    return n;
}

}  // namespace

TEST(Profile, JapaneseTextsAreCodePage932) {
    const product_profile *p = builtin_profile();
    EXPECT_EQ(cp932(u8"ドライバのアンインストール"), p->dialog_title.japanese);
    EXPECT_EQ(cp932(u8"KESA K440dT ドライバをアンインストールする準備ができました。"), p->dialog_text.japanese);
    EXPECT_EQ(cp932(u8"アンインストール"), p->uninstall_button_text.japanese);
    EXPECT_EQ(cp932(u8"中止"), p->cancel_button_text.japanese);
    EXPECT_EQ(cp932(u8"ドライバのアンインストール"), p->cancelled_caption.japanese);
    EXPECT_EQ(cp932(u8"ドライバのアンインストールを中止しました。"), p->cancelled_text.japanese);
    EXPECT_EQ(cp932(u8"ドライバのアンインストール"), p->success_caption.japanese);
    EXPECT_EQ(cp932(u8"KESA K440dTドライバを削除しました。"), p->success_text.japanese);
    EXPECT_EQ(cp932(u8"ドライバのアンインストール"), p->warning_caption.japanese);
    EXPECT_EQ(cp932(u8"ドライバのアンインストール"), p->failure_caption.japanese);
    EXPECT_EQ(cp932(u8"KESA K440dT 携帯端末ソフトウェアのアンインストールが失敗しました。"),
              p->failure_text.japanese);
    EXPECT_EQ(cp932(u8"一つ以上の携帯端末が接続されています。アンインストールの前にUSBケーブルを外してください。"),
              p->device_connected_message.japanese);
}

// A text present in one language only would make the language change what a run checks
// (the handset and version checks and the warning are switched on by their texts) or leave
// an English run without its text.
TEST(Profile, EveryTextIsInBothLanguagesOrNeither) {
    const product_profile *p = builtin_profile();
    const shown_text texts[] = {
        p->dialog_title, p->dialog_text, p->uninstall_button_text, p->cancel_button_text,
        p->cancelled_caption, p->cancelled_text, p->success_caption, p->success_text,
        p->warning_caption, p->warning_text, p->failure_caption, p->failure_text,
        p->version_message, p->not_admin_message, p->device_connected_message, p->progress_text,
        p->plan_written_text, p->plan_not_written_text};
    for (const shown_text &t : texts) {
        EXPECT_EQ(t.japanese == nullptr, t.english == nullptr)
            << (t.japanese ? t.japanese : t.english);
        for (const char *c = t.english; c && *c; ++c)
            EXPECT_LT((unsigned char)*c, 0x80)
                << "English is ASCII, read alike in every code page: " << t.english;
    }
}

TEST(Profile, KnownEncodings) {
    // 中止 is 92 86 8E 7E; the ソ of ソフトウェア is 83 5C, whose trail byte is a backslash.
    EXPECT_EQ(std::string("\x92\x86\x8e\x7e"), builtin_profile()->cancel_button_text.japanese);
    EXPECT_NE(std::string::npos, std::string(builtin_profile()->failure_text.japanese).find("\x83\x5c"));
}

TEST(Profile, BuiltInValues) {
    const product_profile *p = builtin_profile();
    EXPECT_STREQ("K440dTUn.exe", p->uninstaller_name);
    EXPECT_STREQ("{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}", p->product_guid);
    EXPECT_STREQ("K440dT", p->short_name);
    ASSERT_EQ(17, count(p->driver_files));
    EXPECT_STREQ("K440dTwh.sys", p->driver_files[0]);
    EXPECT_STREQ("K440dTm9.vxd", p->driver_files[7]);
    EXPECT_STREQ("K440dTmf.sys", p->driver_files[16]);
    ASSERT_EQ(1, count(p->device_names));
    EXPECT_STREQ("K440dTCR", p->device_names[0]);
    ASSERT_EQ(2, count(p->default_device_ids));
    EXPECT_STREQ("0000", p->default_device_ids[0]);
    EXPECT_STREQ("FFFF/0001", p->default_device_ids[1]);
    EXPECT_EQ(0, count(p->extra_keys));
    EXPECT_EQ(0, count(p->more_driver_files));
    ASSERT_EQ(36, count(p->fixed_files));
    EXPECT_STREQ("C:\\Winnt\\inf\\K440dTuc.inf", p->fixed_files[0]);
    EXPECT_STREQ("C:\\Windows\\inf\\K440dTuc.inf", p->fixed_files[10]);
    EXPECT_STREQ("C:\\Windows\\SYSTEM32\\DRIVERS\\K440DTUC.SYS", p->fixed_files[24]);
    EXPECT_STREQ("C:\\Program Files\\halvenor\\K440dT\\K440dTIN.exe", p->fixed_files[35]);
    EXPECT_STREQ("", p->extra_switches);
    EXPECT_EQ(nullptr, p->warning_text.japanese);
    EXPECT_EQ(nullptr, p->version_message.japanese);
    EXPECT_EQ(nullptr, p->not_admin_message.japanese);
    EXPECT_EQ(nullptr, p->progress_text.japanese);
}

TEST(Profile, FailureTextFallbackReplacesTheCaptionToo) {
    product_profile p = *builtin_profile();
    p.failure_text = shown_text{nullptr, nullptr};
    apply_failure_text_fallback(&p);
    for (int language : {LANGUAGE_JAPANESE, LANGUAGE_ENGLISH}) {
        EXPECT_STREQ("Software was not uninstalled successfully",
                     text_in(p.failure_text, language));
        EXPECT_STREQ("Uninstall", text_in(p.failure_caption, language));
    }
    product_profile kept = *builtin_profile();
    apply_failure_text_fallback(&kept);
    EXPECT_EQ(builtin_profile()->failure_text.japanese, kept.failure_text.japanese);
    EXPECT_EQ(builtin_profile()->failure_caption.english, kept.failure_caption.english);
}

TEST(Profile, ProgressTextFallback) {
    product_profile p = *builtin_profile();
    EXPECT_STREQ("Uninstalling...", progress_text_of(&p, LANGUAGE_JAPANESE));
    p.progress_text = shown_text{"Wait", "Hold on"};
    EXPECT_STREQ("Hold on", progress_text_of(&p, LANGUAGE_ENGLISH));
}
