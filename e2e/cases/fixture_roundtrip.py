"""One machine fixture serves the host simulation and Wine: planting e2e/fixtures/roundtrip
into a prefix gives exactly the keys, values, files and attributes the fixture lists."""
import hashlib
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import harness  # noqa: E402
from harness import Prefix, case, check, check_equal, main  # noqa: E402

FIXTURE = os.path.join(harness.ROOT, "e2e", "fixtures", "roundtrip")


def parents(windows_path):
    parts = windows_path.split("\\")
    return ["\\".join(parts[:n]) for n in range(2, len(parts))]


def check_registry(before, after, diff):
    planted = harness.parse_reg_file(os.path.join(FIXTURE, "registry.reg"))
    for key_path, key in planted.items():
        check(after.has_key(key.name), "key %s should exist after planting" % key.name)
        for name, value_type, data in key.values.values():
            check_equal((value_type, data), after.value(key.name, name),
                        "value %s\\%s (type, data)" % (key.name, name or "@"))
    # Key names compare without regard to case, as Windows does ("SOFTWARE" is "Software").
    new_keys = sorted(k for k, key in planted.items() if not before.has_key(key.name))
    check_equal(new_keys, sorted(k.lower() for k in diff.added_keys), "keys that appeared")
    expected_values = sum(len(planted[k].values) for k in new_keys)
    check_equal(expected_values, len(diff.added_values),
                "values that appeared (%s)" % diff.added_values)
    for what in ("removed_keys", "removed_values", "changed_values"):
        check_equal([], getattr(diff, what), "registry changes besides the planted ones: " + what)


def check_files(before, after, diff, entries):
    expected = {}
    for e in entries:
        for parent in parents(e.path):
            if before.file(parent) is None:
                expected[parent.lower()] = ("D", 0, None)
        letters = "".join(l for l in "RHS" if l in e.attributes)
        if e.folder:
            expected[e.path.lower()] = (letters + "D", 0, None)
        else:
            expected[e.path.lower()] = (letters or "-", len(e.content),
                                        hashlib.sha1(e.content).hexdigest())
    appeared = {k: v for k, v in after.files.items() if k not in before.files}
    check_equal(sorted(expected), sorted(appeared), "files and folders that appeared")
    for path, want in expected.items():
        check_equal(want, appeared[path], "(attributes, size, digest) of %s" % path)
    check_equal([], diff.removed_files, "files gone by planting")
    check_equal([], diff.changed_files, "files changed by planting")


def check_in_use(p, entries):
    """A "U" file is open without delete sharing during a run, and free afterwards."""
    in_use = [e.path for e in entries if e.in_use]
    check(in_use, "the fixture should plant an in-use file")
    path = in_use[0]
    p.run("C:\\windows\\system32\\cmd.exe", ["/c", "del", path], timeout=30)
    check(p.exists(path), "%s was deleted although it is in use during the run" % path)
    p.restart()  # the restart frees it
    p.run("C:\\windows\\system32\\cmd.exe", ["/c", "del", path], timeout=30)
    check(not p.exists(path), "%s should be deletable after the restart" % path)


@case
def fixture_round_trip():
    with Prefix("fixture_round_trip", version="winxp") as p:
        before = p.snapshot()
        entries = p.plant(FIXTURE)
        after = p.snapshot()
        diff = before.diff(after)
        check_registry(before, after, diff)
        check_files(before, after, diff, entries)
        check_in_use(p, entries)


main()
