"""The INF-folder search of OEM INF discovery under Wine. Wine's SetupDiGetClassDevsA never
fails, so a setupapi.dll stand-in beside the program (loaded for it alone through a DLL
override) fails the first request for the device list of all classes and forwards every other
call to Wine's SetupAPI. The program then searches the INF folder of the fixture
e2e/fixtures/inf-fallback, whose INF files are the product's written in ways Windows reads
differently from a naive parser; the quiet run must take exactly the files of its taken.txt,
which the host test InfFolderFallback holds the simulation to as well."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import (DEFAULT_INSTALL_DIR, ROOT, HarnessError, Prefix, case, check,  # noqa: E402
                     check_equal, main)

FIXTURE = os.path.join(ROOT, "e2e", "fixtures", "inf-fallback")
STANDIN_DLL = os.path.join(ROOT, "build", "win", "e2e-standin", "setupapi.dll")
OVERRIDE = ("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\K440dTUn.exe\\"
            "DllOverrides]\r\n\"setupapi\"=\"native,builtin\"\r\n")


def taken_names():
    with open(os.path.join(FIXTURE, "taken.txt")) as f:
        return sorted(line.strip().upper() for line in f if line.strip() and line[0] != "#")


@case
def inf_folder_fallback_takes_what_windows_reads_as_the_products():
    if not os.path.exists(STANDIN_DLL):
        raise HarnessError("%s is missing: build the Windows build first" % STANDIN_DLL)
    with Prefix("inf_folder_fallback", version="winxp") as p:
        planted = [e.path for e in p.plant(FIXTURE) if e.path.lower().endswith(".inf")]
        exe = p.install_product()
        p.copy_in(STANDIN_DLL, DEFAULT_INSTALL_DIR + "\\setupapi.dll")
        override = os.path.join(p.path, "override.reg")
        with open(override, "w", newline="") as f:
            f.write(OVERRIDE)
        p.import_reg(override)
        result = p.run_watched(exe, ["-quiet"])
        check(result.code is not None, "the quiet run did not end: %r" % result)
        gone = sorted(path.rsplit("\\", 1)[1].upper() for path in planted if not p.exists(path))
    check_equal(taken_names(), gone, "INF files the quiet run took (exit code %r)" % result.code)


main()
