"""A quiet run killed part way through, then run again as the user would (the uninstall
record's command, quiet) and a restart: the machine ends as after one whole run."""
import os
import signal
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import (ROOT, Prefix, case, check, check_equal, main,  # noqa: E402
                     read_expected_removals)

FIXTURE = os.path.join(ROOT, "tests", "fixtures", "nt-driver-set")
GATED_DEVICE = os.path.join(ROOT, "e2e", "fixtures", "ui-gated-device")
GATE_DLL = os.path.join(ROOT, "build", "win", "e2e-tools", "gated_coinstaller_dll.dll")
GATE_WINDOWS_PATH = "C:\\windows\\system32\\gated_coinstaller_dll.dll"
RECORD = ("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
          "K440dT handset")
HKLM = "HKEY_LOCAL_MACHINE\\"
# Wine rewrites its display driver's date at every start; the gate's own files are the case's.
WINE_DISPLAY_CHURN = r"\\control\\class\\\{4d36e968-e325-11ce-bfc1-08002be10318\}\\0000$"
GATE_FILES = r"gated_coinstaller_dll\.dll\.(held|go)"

EXPECTED = read_expected_removals(FIXTURE)


def wait_for_file(path, timeout):
    deadline = time.time() + timeout
    while time.time() < deadline and not os.path.exists(path):
        time.sleep(0.05)
    return os.path.exists(path)


def planted(p):
    """The driver set beside a device whose co-installer holds the removal until the case
    creates its `.go` file."""
    p.plant(FIXTURE)
    p.plant(GATED_DEVICE)
    p.copy_in(GATE_DLL, GATE_WINDOWS_PATH)
    return p.install_product()


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
        open(p.host_path(GATE_WINDOWS_PATH + ".go"), "wb").close()
        before = p.snapshot()
        result = p.run(exe, ["-quiet"], timeout=60)
        check_equal(2, result.code, "exit code of the whole quiet run")
        return end_state(before, p)


def killed_and_run_again(rerun=True):
    with Prefix("interrupted_run_killed", version="winxp") as p:
        exe = planted(p)
        before = p.snapshot()
        held = p.host_path(GATE_WINDOWS_PATH + ".held")
        launched = p.start(exe, ["-quiet"])
        check(wait_for_file(held, 60), "the quiet run did not reach the planted device")
        launched.process.kill()  # the Unix process is the Windows program itself
        killed = p.finish(launched, timeout=30)
        check_equal(-signal.SIGKILL, killed.code, "the program was killed, not ended by itself")
        middle = p.snapshot()
        check(middle.has_key(RECORD), "the uninstall record outlives the killed run")
        check(middle.value(RECORD, "RemovalPlan") is not None,
              "the killed run left its removal plan in the record")
        open(p.host_path(GATE_WINDOWS_PATH + ".go"), "wb").close()
        if rerun:
            again = p.run(uninstall_command(middle), ["-quiet"], timeout=60)
            check_equal(2, again.code, "exit code of the run again")
        return end_state(before, p)


def removed_names(diff):
    return sorted(f.rsplit(" [", 1)[0].lower() for f in diff.removed_files)


def check_ends_the_same(whole, interrupted):
    for what in ("removed_keys", "removed_values", "added_keys", "added_values",
                 "changed_values", "removed_files", "added_files", "changed_files"):
        check_equal(sorted(getattr(whole, what)), sorted(getattr(interrupted, what)),
                    "%s after a killed run, run again, against one whole run" % what)


@case
def interrupted_quiet_run_run_again_ends_the_same():
    whole = whole_run()
    removed = removed_names(whole)
    for path in EXPECTED["file"] + EXPECTED["file_at_restart"]:
        check(path.lower() in removed, "one whole run removes %s" % path)
    removed_keys = set(k.lower() for k in whole.removed_keys)
    for key in EXPECTED["key"]:
        check((HKLM + key).lower() in removed_keys, "one whole run removes %s" % key)
    check_ends_the_same(whole, killed_and_run_again())


main()
