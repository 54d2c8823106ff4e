"""Uninstall on the NT family: the driver set planted as its installer leaves it, beside
look-alikes; a quiet run from inside the install folder, then Wine's restart."""
import hashlib
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import (ROOT, Prefix, case, check, check_equal, main,  # noqa: E402
                     read_expected_removals)

FIXTURE = os.path.join(ROOT, "tests", "fixtures", "nt-driver-set")
INSTALL = "C:\\Program Files\\halvenor\\K440dT"
PROGRAM = INSTALL + "\\K440dTUn.exe"
PROGRAM_ASIDE = INSTALL + "\\K440dT_del0.tmp"  # the running program, set aside for the restart
SUBFOLDER = INSTALL + "\\Drivers"
HKLM = "HKEY_LOCAL_MACHINE\\"
# Wine rewrites its display driver's date at every start; no business of the uninstaller.
WINE_DISPLAY_CHURN = r"\\control\\class\\\{4d36e968-e325-11ce-bfc1-08002be10318\}\\0000$"
SESSION_MANAGER = HKLM + "System\\CurrentControlSet\\Control\\Session Manager"

EXPECTED = read_expected_removals(FIXTURE)

def lower_all(items):
    return sorted(i.lower() for i in items)


def key_of(value_line):
    """The key path of a diff value line "<key>\\<name> = <data>"."""
    return value_line.split(" = ")[0].rsplit("\\", 1)[0].lower()


def keys_under(snapshot, trees):
    """The keys of a snapshot in the trees (Wine's registry files leave out a key that holds
    only subkeys, so the expected keys come from the snapshot itself)."""
    roots = [(HKLM + t).lower() for t in trees]
    return sorted(k for k in snapshot.registry
                  if any(k == r or k.startswith(r + "\\") for r in roots))


def uninstall_on(version):
    with Prefix("nt_removal_" + version, version=version) as p:
        p.plant(FIXTURE)
        exe = p.install_product()
        check_equal(PROGRAM, exe, "the program's place in the install folder")
        before = p.snapshot()
        result = p.run(exe, ["-quiet"], timeout=60)  # from inside the install folder
        check(not result.timed_out, "the quiet run on %s did not end: %r" % (version, result))
        check_equal(2, result.code, "exit code of -quiet on %s (a restart is needed)" % version)
        after = p.snapshot()
        diff = before.diff(after, ignore_keys=[WINE_DISPLAY_CHURN])

        expected_keys = keys_under(before, EXPECTED["key"])
        check(len(expected_keys) >= len(EXPECTED["key"]), "the fixture plants %r" % EXPECTED["key"])
        check_equal(expected_keys, lower_all(diff.removed_keys),
                    "keys removed on %s" % version)
        removed_keys = set(k.lower() for k in diff.removed_keys)
        loose_values = [v for v in diff.removed_values if key_of(v) not in removed_keys]
        check_equal(lower_all("%s%s\\%s" % (HKLM, key, name) for key, name in EXPECTED["value"]),
                    lower_all(v.split(" = ")[0] for v in loose_values),
                    "single values removed on %s" % version)
        check_equal([], diff.added_keys, "keys added on %s" % version)
        pending = [v for v in diff.added_values + diff.changed_values
                   if v.lower().startswith((SESSION_MANAGER + "\\PendingFileRenameOperations").lower())]
        check_equal(1, len(pending), "the delayed deletion is registered on %s: %s" % (version, diff))
        others = [v for v in diff.added_values + diff.changed_values if v not in pending]
        check_equal([], others, "other values added or changed on %s" % version)

        check_equal(lower_all(EXPECTED["file"] + [PROGRAM]),
                    lower_all(f.rsplit(" [", 1)[0] for f in diff.removed_files),
                    "files removed on %s (the program by its name)" % version)
        check_equal(lower_all([PROGRAM_ASIDE]), lower_all(f.rsplit(" [", 1)[0] for f in diff.added_files),
                    "files added on %s: only the program set aside" % version)
        check_equal([], diff.changed_files, "files changed on %s" % version)
        check(after.file(PROGRAM_ASIDE) is not None, "the running program stays until the restart")
        check(after.file(SUBFOLDER) is not None, "the subfolder stays until the restart")
        for look_alike in ("C:\\Temp\\K440dTuc.sys", "C:\\Program Files\\halvenor\\Other\\K440dTUn.exe",
                           "C:\\windows\\inf\\oem13.inf", "C:\\windows\\system32\\K440dTox.sys"):
            check(after.file(look_alike) is not None, "%s must survive on %s" % (look_alike, version))

        p.restart()
        restarted = p.snapshot()
        check(restarted.file(PROGRAM_ASIDE) is None, "the program is gone after the restart on %s" % version)
        check(restarted.file(SUBFOLDER) is None, "the empty subfolder is gone after the restart")
        check(restarted.file(INSTALL) is not None, "the install folder itself stays")
        gone = after.diff(restarted).removed_files
        check_equal(lower_all(EXPECTED["file_at_restart"]), lower_all(f.rsplit(" [", 1)[0] for f in gone),
                    "files the restart removed on %s" % version)


@case
def reinstall_before_the_restart_survives_winxp():
    """An upgrade that installs the driver set again before the restart: the restart deletes
    the old program by the name the run set it aside under, never the new program."""
    with Prefix("nt_removal_reinstall", version="winxp") as p:
        p.plant(FIXTURE)
        exe = p.install_product()
        result = p.run(exe, ["-quiet"], timeout=60)
        check_equal(2, result.code, "exit code of -quiet (a restart is needed)")
        after = p.snapshot()
        check(after.file(PROGRAM) is None, "the running program was renamed aside")
        check(after.file(PROGRAM_ASIDE) is not None, "the program waits for the restart as %s" % PROGRAM_ASIDE)
        newer = b"MZ a newer uninstaller, installed before the restart"
        with tempfile.NamedTemporaryFile(suffix=".exe", delete=False) as reinstalled:
            reinstalled.write(newer)
        try:
            p.copy_in(reinstalled.name, PROGRAM)
        finally:
            os.remove(reinstalled.name)
        p.restart()
        restarted = p.snapshot()
        kept = restarted.file(PROGRAM)
        check(kept is not None and kept[2] == hashlib.sha1(newer).hexdigest(),
              "the reinstalled program outlives the restart: %r" % (kept,))
        check(restarted.file(PROGRAM_ASIDE) is None, "the restart deleted the old program")


@case
def nt_removal_winxp():
    uninstall_on("winxp")


@case
def nt_removal_win2k():
    uninstall_on("win2k")


@case
def nt_removal_win2003():
    uninstall_on("win2003")


main()
