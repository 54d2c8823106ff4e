"""The e2e harness's two registry parsers, without Wine: Wine's own registry files and .reg
fixtures must come out in one shape, or a case compares a fixture with a snapshot wrongly."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
from harnesslib.registry_files import (REG_BINARY, REG_DWORD, REG_EXPAND_SZ,  # noqa: E402
                                       REG_MULTI_SZ, REG_SZ, parse_reg_file,
                                       parse_wine_registry)

KEY = "HKEY_LOCAL_MACHINE\\Software\\TAVO\\K440dT"

WINE_FILE = (
    'WINE REGISTRY Version 2\n'
    ';; All keys relative to \\\\Machine\n'
    '\n'
    '[Software\\\\TAVO\\\\K440dT] 1700000000\n'
    '#time=1da0000000000000\n'
    '@="default"\n'
    '"InstallPath"="C:\\\\Program Files\\\\halvenor\\\\K440dT"\n'
    '"Quoted"="say \\"hi\\"\\n"\n'
    '"Wide"="\\x30c9\\x30e9"\n'
    '"Count"=dword:00000010\n'
    '"Expand"=str(2):"%SystemRoot%\\\\inf"\n'
    '"Multi"=hex(7):61,00,00,00,62,00,00,00,00,00\n'
    '"Bin"=hex:01,02,\\\n'
    '  03\n')

REGEDIT4_FILE = (
    'REGEDIT4\r\n'
    '\r\n'
    '[HKLM\\Software\\TAVO\\K440dT]\r\n'
    '@="default"\r\n'
    '"InstallPath"="C:\\\\Program Files\\\\halvenor\\\\K440dT"\r\n'
    '"Quoted"="say \\"hi\\""\r\n'
    '"Wide"="\u30c9\u30e9"\r\n'
    '"Count"=dword:00000010\r\n'
    '"Expand"=hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,5c,69,6e,66,00\r\n'
    '"Multi"=hex(7):61,00,62,00,00\r\n'
    '"Bin"=hex:01,02,\\\r\n'
    '  03\r\n'
    '"Gone"="x"\r\n'
    '"Gone"=-\r\n'
    '\r\n'
    '[HKEY_LOCAL_MACHINE\\Software\\Other\\Child]\r\n'
    '"a"="b"\r\n'
    '[-HKEY_LOCAL_MACHINE\\Software\\Other]\r\n')


def parsed(text, parse, encoding, *args):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "file.reg")
        with open(path, "wb") as f:
            f.write(text.encode(encoding))
        return parse(path, *args)


class RegistryFilesTest(unittest.TestCase):
    def check_product_key(self, keys, quoted):
        key = keys[KEY.lower()]
        self.assertEqual(KEY, key.name)
        values = {v[0]: v[1:] for v in key.values.values()}
        self.assertEqual((REG_SZ, "default"), values[""])
        self.assertEqual((REG_SZ, "C:\\Program Files\\halvenor\\K440dT"), values["InstallPath"])
        self.assertEqual((REG_SZ, quoted), values["Quoted"])
        self.assertEqual((REG_SZ, "\u30c9\u30e9"), values["Wide"])
        self.assertEqual((REG_DWORD, 16), values["Count"])
        self.assertEqual((REG_EXPAND_SZ, "%SystemRoot%\\inf"), values["Expand"])
        self.assertEqual((REG_MULTI_SZ, "a\0b\0"), values["Multi"], "inner separators stay")
        self.assertEqual((REG_BINARY, b"\x01\x02\x03"), values["Bin"], "continued line joined")
        self.assertIn("hkey_local_machine\\software\\tavo", keys, "parents are implied")

    def test_wine_registry_file(self):
        keys = parsed(WINE_FILE, parse_wine_registry, "utf-8", "HKEY_LOCAL_MACHINE")
        self.check_product_key(keys, 'say "hi"\n')

    def test_regedit4_file_in_the_ansi_code_page(self):
        keys = parsed(REGEDIT4_FILE, parse_reg_file, "cp932")
        self.check_product_key(keys, 'say "hi"')
        self.assertNotIn("gone", keys[KEY.lower()].values, "a value removed with =-")
        self.assertFalse([k for k in keys if k.startswith("hkey_local_machine\\software\\other")],
                         "a key removed with [-...] goes with its subkeys")

    def test_version5_file_in_utf16(self):
        text = REGEDIT4_FILE.replace("REGEDIT4", "Windows Registry Editor Version 5.00").replace(
            "hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,5c,69,6e,66,00",
            "hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,00,"
            "5c,00,69,00,6e,00,66,00,00,00").replace(
            "hex(7):61,00,62,00,00", "hex(7):61,00,00,00,62,00,00,00,00,00")
        keys = parsed("\ufeff" + text, parse_reg_file, "utf-16-le")
        self.check_product_key(keys, 'say "hi"')


if __name__ == "__main__":
    unittest.main()
