"""Windows 98 SE and ME under Wine: a quiet run removes the planted driver set (device keys
under Enum, driver keys under Services\\Class, OEM Name records, INF copies, driver files, the
two driver index files, the product record and the install folder) and nothing else; the
program itself goes at the restart through wininit.ini, leaving no stray file on drive C:."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import (ROOT, Prefix, case, check, check_equal, main,  # noqa: E402
                     read_expected_removals)

FIXTURE = os.path.join(ROOT, "tests", "fixtures", "legacy-driver-set")
PROGRAM = "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe"
HKLM = "HKEY_LOCAL_MACHINE\\"

EXPECTED = read_expected_removals(FIXTURE)

# Wine carries out wininit.ini whenever a session starts (its start-up runs the restart work),
# so a wininit.ini planted before the run would be consumed before the program starts; the
# lines other programs leave there are shown to stay by the host tests instead.
FIXTURE_ONLY_FOR_THE_HOST = ["C:\\windows\\wininit.ini", "C:\\TEMP\\OTHERAPP.TMP"]


# Wine rewrites the display adapter's driver date at every session start.
WINE_SESSION_CHURN = [r"\\control\\class\\\{4d36e968-e325-11ce-bfc1-08002be10318\}\\0000$"]
# The harness's own box watcher, copied in for the run.
HARNESS_FILES = [r"^c:\\e2e-tools(\\|$)"]


def lowered(items):
    return sorted(i.lower() for i in items)


def file_entries(paths):
    return lowered(p for p in paths)


def removed_file_paths(diff):
    return lowered(line.rsplit(" [", 1)[0] for line in diff.removed_files)


def below_any(key, roots):
    k = key.lower()
    return any(k == r.lower() or k.startswith(r.lower() + "\\") for r in roots)


def check_registry(diff, after, keys_gone):
    # Wine's registry files list only keys with values or without subkeys, so a removed tree
    # shows as the keys below it that were listed.
    roots = [HKLM + k for k in keys_gone]
    for k in roots:
        check(any(below_any(r, [k]) for r in diff.removed_keys), "%s should be gone:\n%s" % (k, diff))
        left = [r.name for r in after.registry.values() if below_any(r.name, [k])]
        check_equal([], left, "keys left of %s" % k)
    stray = [k for k in diff.removed_keys if not below_any(k, roots)]
    check_equal([], stray, "keys removed that are not the driver set's")
    value_lines = [v for v in diff.removed_values if not below_any(v.split(" = ")[0].rsplit("\\", 1)[0], roots)]
    expected = lowered("%s%s\\%s" % (HKLM, key, name) for key, name in EXPECTED["value"])
    check_equal(expected, lowered(v.split(" = ")[0] for v in value_lines),
                "values removed outside the removed keys")
    check_equal([], diff.added_keys, "keys the run added")
    check_equal([], diff.added_values, "values the run added")
    check_equal([], diff.changed_values, "values the run changed")


def quiet_run(version, keys_gone):
    with Prefix("legacy_" + version, version=version) as p:
        p.plant(FIXTURE)
        for path in FIXTURE_ONLY_FOR_THE_HOST:
            os.remove(p.host_path(path))
        exe = p.install_product()
        before = p.snapshot()
        result = p.run_watched(exe, ["-quiet"], timeout=60)
        check(not result.timed_out, "the quiet run on %s did not end: %r" % (version, result))
        check_equal(2, result.code, "exit code of -quiet on %s" % version)
        check_equal([], result.boxes, "boxes of a quiet run")

        after = p.snapshot()
        diff = before.diff(after, ignore_keys=WINE_SESSION_CHURN, ignore_files=HARNESS_FILES)
        check_registry(diff, after, keys_gone)
        check_equal(file_entries(EXPECTED["file"]), removed_file_paths(diff), "files removed by the run")
        check_equal(["c:\\windows\\wininit.ini"], [f.split(" [")[0] for f in diff.added_files],
                    "files the run added")
        check_equal([], diff.changed_files, "files the run changed")
        check(after.file(PROGRAM) is not None, "the running program stays until the restart")

        p.restart()
        restarted = p.snapshot()
        diff = before.diff(restarted, ignore_keys=WINE_SESSION_CHURN, ignore_files=HARNESS_FILES)
        check_equal(file_entries(EXPECTED["file"] + EXPECTED["file_at_restart"]),
                    removed_file_paths(diff),
                    "files gone after the restart")
        check_equal(["c:\\windows\\wininit.bak"], [f.split(" [")[0] for f in diff.added_files],
                    "files that appeared by the restart (no stray file anywhere on C:)")


@case
def legacy_quiet_removal_on_win98se():
    quiet_run("win98", EXPECTED["key"])


@case
def legacy_quiet_removal_on_winme():
    quiet_run("winme", EXPECTED["key"] + EXPECTED["key_on_me"])


main()
