"""The language of what the user sees, read back as Unicode (what the user reads whatever the
ANSI code page is): English on a Western Windows XP and Windows 98, today's Japanese on a
Japanese Windows XP, and Japanese, read right, on Windows XP with a Japanese UI language over
code page 1252."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import ROOT, Prefix, case, check, check_equal, main, western_locale  # noqa: E402

FIXTURE = os.path.join(ROOT, "e2e", "fixtures", "ui-driver-set")
JAPANESE_UI = 0x11  # the primary language of a Japanese UI language id

TEXTS = {
    "japanese": {
        "title": "ドライバのアンインストール",
        "text": "KESA K440dT ドライバをアンインストールする準備ができました。",
        "uninstall": "アンインストール",
        "cancel": "中止",
        "success": "KESA K440dTドライバを削除しました。",
        "failure": "KESA K440dT 携帯端末ソフトウェアのアンインストールが失敗しました。 (8)",
    },
    "english": {
        "title": "Uninstall Driver",
        "text": "Ready to uninstall the KESA K440dT driver.",
        "uninstall": "Uninstall",
        "cancel": "Cancel",
        "success": "The KESA K440dT driver was removed.",
        "failure": "Uninstalling the KESA K440dT handset software failed. (8)",
    },
}

# Windows version, locale, locale of the UI language (None: the locale's), the ANSI code page
# and UI language that gives, and the language the user must read.
ROWS = [
    ("winxp", western_locale(), None, 1252, False, "english"),
    ("win98", western_locale(), None, 1252, False, "english"),
    ("winxp", "ja_JP.UTF-8", None, 932, True, "japanese"),
    ("winxp", western_locale(), "ja_JP.UTF-8", 1252, True, "japanese"),
]


def check_row(version, lang, ui_lang, code_page, japanese_ui, language):
    row = "%s, %s%s" % (version, lang, ", UI " + ui_lang if ui_lang else "")
    expected = TEXTS[language]
    with Prefix("languages_" + version, version=version, lang=lang, ui_lang=ui_lang) as p:
        acp, ui_language = p.code_page_and_ui_language()
        check_equal(code_page, acp, "ANSI code page of the prefix (%s)" % row)
        check_equal(japanese_ui, ui_language & 0x3FF == JAPANESE_UI,
                    "Japanese UI language of the prefix (%s, id %04x)" % (row, ui_language))
        p.plant(FIXTURE)
        exe = p.install_product()
        # The dialog answered with its default button (Uninstall), then the success box.
        result = p.run_watched(exe, [], timeout=60)
        check(len(result.boxes) >= 2, "dialog and success box (%s): %r" % (row, result.boxes))
        dialog, success = result.boxes[0], result.boxes[1]
        check_equal(expected["title"], dialog.unicode_caption, "dialog title (%s)" % row)
        for control_id, key in ((1002, "text"), (1003, "uninstall"), (1004, "cancel")):
            control = dialog.control(control_id)
            check(control is not None, "dialog control %d (%s): %r" % (control_id, row, dialog))
            check_equal(expected[key], control.unicode_text,
                        "dialog control %d (%s)" % (control_id, row))
        check_equal(expected["success"], success.unicode_text, "success box (%s)" % row)
        check_equal(expected["title"], success.unicode_caption, "success caption (%s)" % row)
        # The removal set the running program aside for the restart: a copy of it again.
        exe = p.install_product()
        failed = p.run_watched(exe, ["-bogus"], timeout=60)
        check_equal(8, failed.code, "exit code of -bogus (%s)" % row)
        check_equal(1, len(failed.boxes), "boxes of -bogus (%s): %r" % (row, failed.boxes))
        check_equal(expected["failure"], failed.boxes[0].unicode_text, "failure box (%s)" % row)
        check_equal(expected["title"], failed.boxes[0].unicode_caption,
                    "failure caption (%s)" % row)


@case
def texts_read_right_in_each_language():
    for row in ROWS:
        check_row(*row)


main()
