"""Inputs a run reads from places others can write: a removal plan naming what is not the
driver set's, "-dry_run" in the product record, a log path that names a device. None of them
widens what a run touches."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import (ROOT, Prefix, case, check, check_equal, main,  # noqa: E402
                     read_expected_removals)

FIXTURE = os.path.join(ROOT, "tests", "fixtures", "nt-driver-set")
EXPECTED = read_expected_removals(FIXTURE)
HKLM = "HKEY_LOCAL_MACHINE\\"
RECORD = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset"
PRODUCT = "Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}"
TCPIP = "System\\CurrentControlSet\\Services\\Tcpip"
VICTIM = "C:\\victim\\x.txt"
# Wine rewrites its display driver's date at every start; no business of the uninstaller.
WINE_DISPLAY_CHURN = r"\\control\\class\\\{4d36e968-e325-11ce-bfc1-08002be10318\}\\0000$"
HOSTILE_PLAN = [
    "FC:\\windows\\system32\\kernel32.dll",
    "K" + TCPIP,
    # Under code page 932 the ANSI functions read U+00A5 as a backslash: C:\victim\x.txt.
    "FC:\\victim\u00a5x.txt",
]


def reg_hex(data):
    return ",".join("%02x" % b for b in data)


def plan_reg(folder):
    """Version 5 .reg text: the plan as REG_MULTI_SZ in Unicode, and "-dry_run" among the
    record's switches."""
    entries = "".join(e + "\0" for e in HOSTILE_PLAN) + "\0"
    path = os.path.join(folder, "hostile.reg")
    with open(path, "w", encoding="utf-16", newline="\r\n") as f:
        f.write("Windows Registry Editor Version 5.00\n\n")
        f.write("[%s%s]\n\"RemovalPlan\"=hex(7):%s\n\n" % (HKLM, RECORD, reg_hex(entries.encode("utf-16-le"))))
        f.write("[%s%s]\n\"UninstallerCmdLineSwitch\"=\"-skip_inf_validation -dry_run\"\n\n" % (HKLM, PRODUCT))
        f.write("[%s%s]\n\"ImagePath\"=\"System32\\\\drivers\\\\tcpip.sys\"\n" % (HKLM, TCPIP))
    return path


@case
def hostile_plan_and_record_dry_run_winxp():
    with Prefix("hostile_plan", version="winxp") as p:
        p.plant(FIXTURE)
        os.makedirs(p.host_path("C:\\victim"), exist_ok=True)
        with open(p.host_path(VICTIM), "w") as f:
            f.write("not the driver set's")
        with tempfile.TemporaryDirectory() as scratch:
            p.import_reg(plan_reg(scratch))
        exe = p.install_product()
        before = p.snapshot()
        check(before.has_key(HKLM + TCPIP), "the machine has the service Tcpip")
        check(before.file("C:\\windows\\system32\\kernel32.dll") is not None, "kernel32.dll is there")
        result = p.run(exe, ["-quiet", "-log_file:C:\\run.log"], timeout=60)
        check_equal(2, result.code, "exit code: the driver set is removed, not planned")
        after = p.snapshot()
        diff = before.diff(after, ignore_keys=[WINE_DISPLAY_CHURN], ignore_files=[r"^c:\\run\.log$"])
        # The running program is set aside under a name of its own for the restart.
        check_equal(sorted([f.lower() for f in EXPECTED["file"]] + [exe.lower()]),
                    sorted(f.rsplit(" [", 1)[0].lower() for f in diff.removed_files),
                    "exactly the driver set's files are removed")
        removed_keys = [k.lower() for k in diff.removed_keys]
        check((HKLM + TCPIP).lower() not in removed_keys, "Services\\Tcpip stays")
        check(all(any(k.startswith((HKLM + e).lower()) for e in EXPECTED["key"]) for k in removed_keys),
              "only the driver set's keys are removed: %r" % removed_keys)
        with open(p.host_path("C:\\run.log"), "rb") as f:
            log = f.read().decode("cp932")
        for line in ("refused file C:\\windows\\system32\\kernel32.dll of the removal plan",
                     "refused key %s of the removal plan" % TCPIP,
                     "ignored -dry_run in the product record"):
            check(line in log, "the log says %r" % line)


@case
def log_path_of_a_device_is_refused_winxp():
    with Prefix("device_log_path", version="winxp") as p:
        p.plant(FIXTURE)
        exe = p.install_product()
        before = p.snapshot()
        result = p.run(exe, ["-quiet", "-log_file:\\\\.\\PhysicalDrive0"], timeout=60)
        check_equal(8, result.code, "a log path in the device namespace is a bad switch")
        diff = before.diff(p.snapshot(), ignore_keys=[WINE_DISPLAY_CHURN])
        check(diff.empty(), "nothing is changed: %s" % diff.lines())


main()
