"""Started as deployment tools start uninstallers: in a session no one sees, with switches
written for other installers, reading Windows Installer's exit codes."""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import ROOT, Prefix, case, check, check_equal, main  # noqa: E402

FIXTURE = os.path.join(ROOT, "tests", "fixtures", "nt-driver-set")
HIDDEN_STATION = os.path.join(ROOT, "build", "win", "e2e-tools", "hidden_station.exe")
# Wine rewrites its display driver's date at every start; no business of the uninstaller.
WINE_DISPLAY_CHURN = r"\\control\\class\\\{4d36e968-e325-11ce-bfc1-08002be10318\}\\0000$"


def run_hidden(p, command):
    """Runs the command line in a window station of its own; (exit code, milliseconds)."""
    tool = p.copy_in(HIDDEN_STATION, "C:\\e2e-tools\\hidden_station.exe")
    result = p.run(tool, [command], timeout=150)
    out = result.stdout.decode("latin-1")
    found = re.search(r"exit=(\d+) ms=(\d+)", out)
    check(found and "still running" not in out, "hidden_station: %r %r" % (out, result.stderr))
    return int(found.group(1)), int(found.group(2))


@case
def deployment_runs_winxp():
    with Prefix("deployment", version="winxp") as p:
        p.plant(FIXTURE)
        exe = p.install_product()
        before = p.snapshot()
        code, ms = run_hidden(p, '"%s"' % exe)
        check_equal(16, code, "a run that would ask, where no one can answer")
        check(ms < 10000, "it ends at once, not when a tool gives up (%d ms)" % ms)
        result = p.run_watched(exe, ["/quiet", "/norestart"], timeout=60)
        check_equal(8, result.code, "switches written for another installer")
        check_equal([], result.boxes, "nothing is shown")
        diff = before.diff(p.snapshot(), ignore_keys=[WINE_DISPLAY_CHURN])
        check(diff.empty(), "neither run changes anything: %s" % diff.lines())
        code, _ = run_hidden(p, '"%s" -quiet -msi_exit_codes -force_rebootprompt' % exe)
        check_equal(3010, code, "a quiet run there removes the driver set, asks nothing and "
                    "ends with Windows Installer's code for a needed restart")


main()
