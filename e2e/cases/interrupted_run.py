"""A quiet run killed part way through, then a fresh wineserver (which carries out what the run
had handed to the restart, as a restart does), the uninstall record's command run again, quiet,
when the record is still there, and a restart: the machine ends as after one whole run."""
import os
import signal
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import (DEFAULT_INSTALL_DIR, ROOT, Prefix, case, check, check_equal,  # noqa: E402
                     main, read_expected_removals, read_file_list)

FIXTURE = os.path.join(ROOT, "tests", "fixtures", "nt-driver-set")
GATED_DEVICE = os.path.join(ROOT, "e2e", "fixtures", "ui-gated-device")
GATE_DLL = os.path.join(ROOT, "build", "win", "e2e-tools", "gated_coinstaller_dll.dll")
GATE_WINDOWS_PATH = "C:\\windows\\system32\\gated_coinstaller_dll.dll"
HKLM = "HKEY_LOCAL_MACHINE\\"
RECORD = HKLM + "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K440dT handset"
PRODUCT_RECORD = HKLM + "Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}"
SESSION_MANAGER = HKLM + "System\\CurrentControlSet\\Control\\Session Manager"
PROGRAM = DEFAULT_INSTALL_DIR + "\\K440dTUn.exe"
SUBFOLDER = DEFAULT_INSTALL_DIR + "\\Drivers"
# Wine rewrites its display driver's date at every start; the gate's own files are the case's.
WINE_DISPLAY_CHURN = r"\\control\\class\\\{4d36e968-e325-11ce-bfc1-08002be10318\}\\0000$"
GATE_FILES = r"gated_coinstaller_dll\.dll\.(held|go)"
# Subkeys below the product record, so that deleting the records lasts a good while after the
# install folder's files are gone: a kill then lands between the hand-off of the folder's
# leftovers to the restart and the uninstall record's deletion (the case checks that it did).
RECORD_SUBKEYS = 3000

EXPECTED = read_expected_removals(FIXTURE)
# The install folder's files that the run deletes at once (the program and the subfolder go at
# the restart).
SWEPT = [e.path for e in read_file_list(os.path.join(FIXTURE, "files.txt"))
         if e.path.lower().startswith(DEFAULT_INSTALL_DIR.lower() + "\\") and not e.folder
         and e.path.lower() != PROGRAM.lower()]


def wait_until(condition, timeout):
    deadline = time.time() + timeout
    while time.time() < deadline and not condition():
        time.sleep(0.01)
    return condition()


def plant_large_product_record(p):
    lines = ["REGEDIT4", ""]
    for i in range(RECORD_SUBKEYS):
        lines += ["[%s\\Components\\Part%04d]" % (PRODUCT_RECORD, i), '"Installed"="1"', ""]
    with tempfile.NamedTemporaryFile("w", suffix=".reg", delete=False) as reg:
        reg.write("\r\n".join(lines))
    try:
        p.import_reg(reg.name)
    finally:
        os.remove(reg.name)


def planted(p):
    """The driver set with large records, beside a device whose co-installer holds the removal
    until the case creates its `.go` file."""
    p.plant(FIXTURE)
    plant_large_product_record(p)
    p.plant(GATED_DEVICE)
    p.copy_in(GATE_DLL, GATE_WINDOWS_PATH)
    return p.install_product()


def open_gate(p):
    open(p.host_path(GATE_WINDOWS_PATH + ".go"), "wb").close()


def uninstall_command(snapshot):
    """The program the uninstall record names, as the control panel would start it."""
    _, command = snapshot.value(RECORD, "UninstallString")
    return command.strip('"')


def end_state(before, p):
    p.restart()
    return before.diff(p.snapshot(), ignore_keys=[WINE_DISPLAY_CHURN], ignore_files=[GATE_FILES])


def whole_run():
    """What one uninterrupted quiet run and the restart change on the same machine."""
    with Prefix("interrupted_run_whole", version="winxp") as p:
        exe = planted(p)
        open_gate(p)
        before = p.snapshot()
        result = p.run(exe, ["-quiet"], timeout=60)
        check_equal(2, result.code, "exit code of the whole quiet run")
        return end_state(before, p)


def cut_inside_the_device_removal(p):
    """Waits until the planted device's co-installer holds the run in the device removal."""
    held = p.host_path(GATE_WINDOWS_PATH + ".held")
    check(wait_until(lambda: os.path.exists(held), 60),
          "the quiet run did not reach the planted device")


def cut_while_the_records_go(p):
    """Waits until the install folder's files are gone: the run then hands the folder's
    leftovers to the restart and deletes the records, and hands over the program last."""
    open_gate(p)
    swept = [p.host_path(path) for path in SWEPT]
    check(wait_until(lambda: not any(os.path.exists(f) for f in swept), 60),
          "the quiet run did not clean the install folder")
    time.sleep(0.05)  # past the hand-off of the leftovers, well inside the records' deletion


def check_cut_while_the_records_go(middle):
    _, pending = middle.value(SESSION_MANAGER, "PendingFileRenameOperations") or (None, "")
    pending = str(pending).lower()
    check(SUBFOLDER.lower() in pending,
          "the killed run had handed the subfolder to the restart: %r" % pending)
    check("k440dtun.exe" not in pending and "k440dt_del" not in pending,
          "the program is handed to the restart only after the records: %r" % pending)
    check(middle.has_key(PRODUCT_RECORD), "the kill came before the records went")


# Where the quiet run is killed: how to wait for that moment, and what the machine must show
# after the kill (beside the uninstall record and its plan, which every cut leaves).
CUTS = [
    ("inside the device removal", cut_inside_the_device_removal, None),
    ("while the records go", cut_while_the_records_go, check_cut_while_the_records_go),
]


def killed_and_run_again(wait_for_cut, check_cut):
    with Prefix("interrupted_run_killed", version="winxp") as p:
        exe = planted(p)
        before = p.snapshot()
        launched = p.start(exe, ["-quiet"])
        wait_for_cut(p)
        launched.process.kill()  # the Unix process is the Windows program itself
        killed = p.finish(launched, timeout=30)
        check_equal(-signal.SIGKILL, killed.code, "the program was killed, not ended by itself")
        middle = p.snapshot()  # ends the wineserver: the next one carries out the hand-offs
        check(middle.has_key(RECORD), "the uninstall record outlives the killed run")
        check(middle.value(RECORD, "RemovalPlan") is not None,
              "the killed run left its removal plan in the record")
        if check_cut:
            check_cut(middle)
        open_gate(p)
        command = uninstall_command(middle)
        p.settle()  # a fresh wineserver has started and carried out the hand-offs
        check(p.exists(command), "the program the uninstall record starts is still there")
        again = p.run(command, ["-quiet"], timeout=60)
        check_equal(2, again.code, "exit code of the run again")
        return end_state(before, p)


def removed_names(diff):
    return sorted(f.rsplit(" [", 1)[0].lower() for f in diff.removed_files)


def check_ends_the_same(whole, interrupted, cut):
    for what in ("removed_keys", "removed_values", "added_keys", "added_values",
                 "changed_values", "removed_files", "added_files", "changed_files"):
        check_equal(sorted(getattr(whole, what)), sorted(getattr(interrupted, what)),
                    "%s after a run killed %s, run again, against one whole run" % (what, cut))


@case
def interrupted_quiet_run_run_again_ends_the_same():
    whole = whole_run()
    removed = removed_names(whole)
    # The restart takes the program by the name it was set aside under, never planted.
    for path in EXPECTED["file"] + [PROGRAM, SUBFOLDER]:
        check(path.lower() in removed, "one whole run removes %s" % path)
    removed_keys = set(k.lower() for k in whole.removed_keys)
    for key in EXPECTED["key"]:
        check((HKLM + key).lower() in removed_keys, "one whole run removes %s" % key)
    for cut, wait_for_cut, check_cut in CUTS:
        check_ends_the_same(whole, killed_and_run_again(wait_for_cut, check_cut), cut)


main()
