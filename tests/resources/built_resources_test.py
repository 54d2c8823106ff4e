"""Reads the resources back out of the built dist/K440dTUn.exe: the confirmation dialog 102 as
the dialog procedure and the wintool-driven end-to-end cases expect it, the manifest that asks
for administrator rights, and header fields that keep Windows 98 able to load the program.

usage: built_resources_test.py [path of K440dTUn.exe]"""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pe_resources import (RT_DIALOG, RT_MANIFEST, RT_VERSION, PeFile,  # noqa: E402
                          parse_dialog)

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EXE = os.path.join(ROOT, "dist", "K440dTUn.exe")

BUTTON, STATIC = 0x80, 0x82
ENGLISH_US = 1033


class BuiltProgram(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(EXE, "rb") as f:
            cls.pe = PeFile(f.read())


class ConfirmationDialog(BuiltProgram):
    def dialog(self):
        found = self.pe.resource(RT_DIALOG, 102)
        self.assertEqual(1, len(found), "exactly one dialog resource 102: %r" % found)
        language, data = found[0]
        self.assertEqual(ENGLISH_US, language, "dialog 102 is English (United States)")
        return parse_dialog(data)

    def test_only_dialog_is_102(self):
        names = [n for t, n, _, _ in self.pe.resources() if t == RT_DIALOG]
        self.assertEqual([102], names, "the program carries one dialog, id 102")

    def test_style_position_size(self):
        d = self.dialog()
        self.assertEqual(0x80C80AC0, d.style,
                         "WS_POPUP|WS_CAPTION|WS_SYSMENU|DS_MODALFRAME|DS_SETFONT|DS_CENTER|"
                         "DS_SETFOREGROUND, got %#x" % d.style)
        self.assertEqual(0, d.exstyle, "no extended style")
        self.assertEqual((0, 0, 230, 58), (d.x, d.y, d.cx, d.cy), "position and size")
        self.assertEqual(("", ""), (d.menu, d.window_class), "no menu, default dialog class")
        self.assertEqual("Uninstall Dialog", d.title)

    def test_font(self):
        d = self.dialog()
        self.assertEqual((9, "MS UI Gothic"), (d.point_size, d.font), "9 point MS UI Gothic")

    def test_controls_in_template_order(self):
        expected = [
            (1003, BUTTON, "Uninstall", 0x50010001, (65, 37, 76, 14)),
            (1004, BUTTON, "Cancel", 0x50010000, (147, 37, 76, 14)),
            (1002, STATIC, "Uninstall Text", 0x50020000, (7, 7, 216, 24)),
        ]
        got = [(i.id, i.window_class, i.text, i.style, (i.x, i.y, i.cx, i.cy))
               for i in self.dialog().items]
        self.assertEqual(expected, got, "the three controls: id, class, text, style, place")
        for item in self.dialog().items:
            self.assertEqual(0, item.exstyle, "control %d has no extended style" % item.id)


    def test_buttons_hold_the_built_in_texts_whole(self):
        # Full-width cells of the built-in texts: "アンインストール" and "中止". At 9 point
        # MS UI Gothic a full-width character takes 8 dialog units, and a button keeps about
        # 4 units free on either side of its text.
        cells = {1003: 8, 1004: 2}
        d = self.dialog()
        buttons = sorted((i for i in d.items if i.id in cells), key=lambda i: i.x)
        for item in buttons:
            self.assertGreaterEqual(item.cx, 8 * cells[item.id] + 8,
                                    "button %d holds its text whole" % item.id)
            self.assertLessEqual(item.x + item.cx, d.cx - 7, "button %d inside the margin" % item.id)
        self.assertLessEqual(buttons[0].x + buttons[0].cx, buttons[1].x, "buttons do not overlap")


class Manifest(BuiltProgram):
    def test_asks_for_administrator_rights(self):
        found = self.pe.resource(RT_MANIFEST, 1)
        self.assertEqual(1, len(found), "one application manifest, id 1")
        text = found[0][1].decode("utf-8")
        self.assertIn('level="requireAdministrator"', text)
        self.assertIn('uiAccess="false"', text)
        self.assertIn('urn:schemas-microsoft-com:asm.v2', text,
                      "trustInfo in the namespace Windows XP accepts")

    def test_only_one_manifest(self):
        manifests = [(n, lang) for t, n, lang, _ in self.pe.resources() if t == RT_MANIFEST]
        self.assertEqual(1, len(manifests), "a second manifest would be ambiguous: %r"
                         % manifests)


class LoadsOnOldSystems(BuiltProgram):
    def test_gui_program_for_windows_4(self):
        self.assertEqual(0x14C, self.pe.machine, "i386")
        self.assertEqual(2, self.pe.subsystem, "Windows GUI subsystem")
        self.assertLessEqual(self.pe.subsystem_version, (4, 10),
                             "Windows 98 refuses a program whose subsystem version is newer")

    def test_version_resource_present(self):
        self.assertEqual(1, len(self.pe.resource(RT_VERSION, 1)), "the version resource")


if __name__ == "__main__":
    if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
        EXE = sys.argv.pop(1)
    unittest.main()
