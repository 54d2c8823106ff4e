"""OEM INF copies handed to SetupUninstallOEMInfA under Wine, with setupapi's trace on.

Wine's SetupUninstallOEMInfA answers TRUE without the force flag and deletes nothing (a FIXME),
so these cases show both halves: the call is made once for each OEM INF of the driver set and
for no other INF, never with the force flag, and the plain-file fallback still leaves no INF or
PNF copy behind. On Windows 2000 the program does not look the call up at all.

The fixture is e2e/fixtures/nt-devices (see nt_devices.py): the handset's devices installed
from oem7.inf and oem8.inf, another vendor's device from oem9.inf, and oem10.inf and mdmgen.inf
beside them.
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import ROOT, Prefix, case, check, check_equal, main  # noqa: E402

FIXTURE = os.path.join(ROOT, "e2e", "fixtures", "nt-devices")
INF_DIR = "C:\\windows\\inf\\"
PRODUCT_INFS = ["oem7.inf", "oem8.inf"]
PRODUCT_FILES = ["oem7.inf", "oem7.pnf", "oem8.inf", "oem8.pnf"]
OTHER_FILES = ["oem9.inf", "oem9.pnf", "oem10.inf", "oem10.pnf", "mdmgen.inf"]
# Wine's trace line of the ANSI entry: name, flags, reserved.
CALL = re.compile(r'trace:setupapi:SetupUninstallOEMInfA "([^"]*)", (0x[0-9a-fA-F]+)')


class TracedPrefix(Prefix):
    """A prefix whose programs write Wine's setupapi trace to their standard error while
    `traced` is set (the planting and the snapshots stay quiet)."""
    traced = False

    def _env(self):
        env = Prefix._env(self)
        if self.traced:
            env["WINEDEBUG"] = "-all,trace+setupapi"
        return env


def quiet_run_traced(version):
    """Runs -quiet on the planted fixture; returns (calls as (name, flags), before, after)."""
    with TracedPrefix("oem_inf_uninstall_" + version, version=version) as p:
        p.plant(FIXTURE)
        exe = p.install_product()
        before = p.snapshot()
        p.traced = True
        result = p.run(exe, ["-quiet"], timeout=90)
        p.traced = False
        check(not result.timed_out, "the quiet run on %s did not end: %r" % (version, result))
        check(result.code in (0, 2), "exit code of -quiet on %s: %r" % (version, result.code))
        calls = CALL.findall(result.stderr.decode("latin-1"))
        return calls, before, p.snapshot()


def check_inf_files(before, after, version):
    for name in PRODUCT_FILES:
        check(before.file(INF_DIR + name) is not None, "the fixture should plant %s" % name)
        check(after.file(INF_DIR + name) is None, "%s%s should be gone on %s" % (INF_DIR, name, version))
    for name in OTHER_FILES:
        check_equal(before.file(INF_DIR + name), after.file(INF_DIR + name),
                    "%s is not the product's and stays unchanged on %s" % (name, version))


@case
def oem_inf_uninstall_winxp_calls_once_per_product_inf():
    calls, before, after = quiet_run_traced("winxp")
    check_equal(sorted(PRODUCT_INFS), sorted(name.lower() for name, _ in calls),
                "SetupUninstallOEMInfA calls in the setupapi trace (one per OEM INF of the driver set)")
    check_equal([0] * len(calls), [int(flags, 16) for _, flags in calls], "flags of each call (never forced)")
    check_inf_files(before, after, "winxp")


@case
def oem_inf_uninstall_win2k_makes_no_call():
    calls, before, after = quiet_run_traced("win2k")
    check_equal([], calls, "SetupUninstallOEMInfA calls on Windows 2000, which has no such function")
    check_inf_files(before, after, "win2k")


main()
