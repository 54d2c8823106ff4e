"""Names that Windows rewrites, under the Japanese code page 932: the ANSI functions hand back
the best-fit form of a Unicode name, in which the yen sign (U+00A5) is a backslash and an
accented letter its plain look-alike. Planted file names and an InstallPath built on that must
change nothing outside the product's install folder, byte for byte, attributes included; a
service key name built on it must change nothing outside the driver set."""
import codecs
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import (ROOT, Prefix, case, check, check_equal, main,  # noqa: E402
                     read_expected_removals, set_dos_attributes)
from harnesslib.whole_run_check import driver_set_removal_faults  # noqa: E402

FIXTURE = os.path.join(ROOT, "tests", "fixtures", "nt-driver-set")
ABOVE = "C:\\Program Files\\halvenor"
INSTALL = ABOVE + "\\K440dT"
OTHER = ABOVE + "\\Other"
RECORD = "HKEY_LOCAL_MACHINE\\Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}"
YEN = "\u00a5"

# Files the attack names aim at, planted beside the driver set.
TARGETS = [
    ("C:\\Program Files\\outside-target.txt", b"not the product's"),
    (ABOVE + "\\cafe.txt", b"not the product's either"),
]
# Names planted in the install folder (Unix names: Wine lists them as these Unicode names).
PLANTED = ["..%s..%soutside-target.txt" % (YEN, YEN), ".." + YEN, "caf\u00e9.txt"]


def outside(snapshot, folder):
    """The snapshot's files and folders outside `folder` and outside the Windows folder (where
    the driver set's own files are), with attributes, sizes and digests."""
    inside = folder.lower() + "\\"
    return {k: v for k, v in snapshot.files.items()
            if not k.startswith(inside) and not k.startswith("c:\\windows\\")}


def plant_targets(p):
    for path, content in TARGETS:
        with open(p.host_path(path), "wb") as out:
            out.write(content)
    # The folder above carries the system attribute, as a desktop.ini customisation needs.
    set_dos_attributes(p.host_path(ABOVE), "S")


def import_unicode_reg(p, text):
    with tempfile.TemporaryDirectory() as folder:
        reg = os.path.join(folder, "planted.reg")
        with open(reg, "wb") as out:
            out.write(codecs.BOM_UTF16_LE + text.encode("utf-16-le"))
        p.import_reg(reg)


def quiet_run(p, exe, what):
    result = p.run(exe, ["-quiet"], timeout=60)
    check(not result.timed_out, "the quiet run with %s did not end: %r" % (what, result))
    check(result.code in (0, 2), "exit code with %s: %r" % (what, result))


@case
def best_fit_listing_winxp():
    with Prefix("best_fit_listing") as p:
        p.plant(FIXTURE)
        exe = p.install_product()
        plant_targets(p)
        for name in PLANTED:
            with open(os.path.join(p.host_path(INSTALL), name), "wb") as out:
                out.write(b"planted")
        before = p.snapshot()
        quiet_run(p, exe, "yen and accent names in the install folder")
        after = p.snapshot()
        check_equal(outside(before, INSTALL), outside(after, INSTALL),
                    "files and folders outside the install folder")
        for path, _ in TARGETS:
            check(after.file(path) is not None, "%s must survive" % path)
        check(after.file(INSTALL + "\\readme.txt") is None, "the sweep still ran")


@case
def best_fit_install_path_winxp():
    with Prefix("best_fit_install_path") as p:
        p.plant(FIXTURE)
        exe = p.install_product()
        plant_targets(p)
        # One folder name, "halvenor<yen>Other", that the ANSI read turns into the maker's
        # other product's folder.
        import_unicode_reg(p, "Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n\"InstallPath\"=\"%s\"\r\n"
                           % (RECORD, (ABOVE + YEN + "Other").replace("\\", "\\\\")))
        before = p.snapshot()
        check_equal((1, ABOVE + YEN + "Other"), before.value(RECORD, "InstallPath"),
                    "the planted InstallPath (REG_SZ)")
        quiet_run(p, exe, "a yen sign in InstallPath")
        after = p.snapshot()
        check_equal(outside(before, INSTALL), outside(after, INSTALL),
                    "files and folders outside the install folder, the other product's included")
        check(after.file(OTHER + "\\readme.txt") is not None, "the other product's folder stays")
        check(after.file(INSTALL + "\\readme.txt") is not None,
              "an InstallPath that is not read as stored is no folder to sweep")


@case
def best_fit_service_key_name_winxp():
    """A service key named "Other<yen>K440dTuc": RegEnumKeyExA hands back "Other\\K440dTuc",
    the path of another key, which here loads the product's driver file name. Only the driver
    set may go."""
    services = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\"
    image = "\"ImagePath\"=\"System32\\\\DRIVERS\\\\K440dTuc.sys\"\r\n"
    with Prefix("best_fit_service_key") as p:
        p.plant(FIXTURE)
        exe = p.install_product()
        import_unicode_reg(p, "Windows Registry Editor Version 5.00\r\n\r\n[%sOther%sK440dTuc]\r\n%s\r\n"
                              "[%sOther\\K440dTuc]\r\n%s" % (services, YEN, image, services, image))
        before = p.snapshot()
        check(before.has_key(services + "Other" + YEN + "K440dTuc"), "the yen key name was planted")
        quiet_run(p, exe, "a yen sign in a service key name")
        faults = driver_set_removal_faults(before, p.snapshot(), read_expected_removals(FIXTURE),
                                           INSTALL + "\\K440dTUn.exe")
        check_equal([], faults, "what the quiet run removed beside the driver set")


main()
