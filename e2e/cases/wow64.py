"""64-bit Windows under 64-bit Wine: the driver set planted as a 64-bit installation leaves it
(drivers in the real system32, service keys in HKLM\\System, the 32-bit installer's records
under Software\\Wow6432Node, the program under Program Files (x86)), with same-named decoys in
syswow64, which a 32-bit program sees as its system32."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import PRODUCT_EXE, ROOT, case, check, check_equal, main  # noqa: E402
from harnesslib.prefix64 import Prefix64  # noqa: E402

FIXTURE = os.path.join(ROOT, "tests", "fixtures", "nt-driver-set")
INSTALL = "C:\\Program Files (x86)\\halvenor\\K440dT"
PROGRAM = INSTALL + "\\K440dTUn.exe"
COMPANION = INSTALL + "\\K440dTUn64.exe"
HKLM = "HKEY_LOCAL_MACHINE\\"
RECORDS = [HKLM + "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset",
           HKLM + "Software\\Wow6432Node\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}"]
SERVICE = HKLM + "System\\CurrentControlSet\\Services\\K440dTuc"
DRIVERS = ["C:\\windows\\system32\\drivers\\K440dTuc.sys", "C:\\windows\\system32\\drivers\\K440dTcm.sys",
           "C:\\windows\\system32\\K440dTwh.sys", "C:\\windows\\system32\\K440dTIN.dll"]
DECOYS = [d.replace("\\system32\\", "\\syswow64\\") for d in DRIVERS]


def plant_64bit_installation(p):
    # The launcher starts Wine's 32-bit regedit, whose HKLM\Software is the 32-bit view, as a
    # 32-bit installer's is.
    with open(os.path.join(FIXTURE, "registry.reg"), encoding="latin-1") as f:
        reg = f.read()
    reg = reg.replace("C:\\\\Program Files\\\\", "C:\\\\Program Files (x86)\\\\")
    p.import_reg_text(reg)
    with open(os.path.join(FIXTURE, "files.txt"), encoding="latin-1") as f:
        files = f.read().replace("C:\\Program Files\\", "C:\\Program Files (x86)\\")
    listing = os.path.join(p.path, "e2e-files64.txt")
    with open(listing, "w", encoding="latin-1") as f:
        f.write(files)
    p.plant_files(listing)
    for decoy in DECOYS:
        target = p.host_path(decoy)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "w") as f:
            f.write("decoy")


def with_companion(version):
    with Prefix64("wow64_pair_" + version, version=version) as p:
        plant_64bit_installation(p)
        exe = p.install_product(INSTALL)
        p.install_companion(INSTALL)
        before = p.snapshot()
        for key in RECORDS + [SERVICE]:
            check(before.has_key(key), "the fixture plants %s" % key)
        result = p.run(exe, ["-quiet"], timeout=90)
        check(not result.timed_out, "the quiet run on %s did not end: %r" % (version, result))
        check_equal(2, result.code, "exit code of the pair on %s" % version)
        after = p.snapshot()
        for key in RECORDS + [SERVICE]:
            check(not after.has_key(key), "%s is gone on %s" % (key, version))
        check(after.has_key(HKLM + "Software\\Wow6432Node\\TAVO\\{0B1C2D3E-0000-4000-8000-000000000001}"),
              "another product's record stays on %s" % version)
        for driver in DRIVERS:
            check(after.file(driver) is None, "%s is gone on %s" % (driver, version))
        for decoy in DECOYS:
            check(after.file(decoy) is not None, "the decoy %s stays on %s" % (decoy, version))
        p.restart()
        restarted = p.snapshot()
        for program in (PROGRAM, COMPANION):
            check(restarted.file(program) is None, "%s is gone after the restart on %s" % (program, version))
        check(restarted.file(INSTALL) is not None, "the install folder itself stays")


@case
def wow64_pair_win7():
    with_companion("win7")


@case
def wow64_pair_win10():
    with_companion("win10")


def refused_without_an_x64_companion(name, companion_image, why):
    """The 32-bit program under WOW64 with no x86-64 companion beside it ends with 9 and
    changes nothing."""
    with Prefix64(name, version="win7") as p:
        plant_64bit_installation(p)
        exe = p.install_product(INSTALL)
        if companion_image:
            p.copy_in(companion_image, COMPANION)
        before = p.snapshot()
        result = p.run(exe, ["-quiet"], timeout=60)
        check_equal(9, result.code, "exit code " + why)
        diff = before.diff(p.snapshot())
        check_equal([], diff.removed_keys + diff.removed_values, "registry entries removed")
        check_equal([], diff.removed_files, "files removed")


@case
def wow64_without_companion_win7():
    refused_without_an_x64_companion("wow64_alone_win7", None, "of the 32-bit program alone")


@case
def wow64_32bit_program_as_companion_win7():
    # A 32-bit program under the companion's name.
    refused_without_an_x64_companion("wow64_32bit_companion_win7", PRODUCT_EXE,
                                     "with a companion that is no x86-64 program")


main()
