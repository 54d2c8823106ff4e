"""./run demo [winxp|winme]: uninstalls a planted driver set from a Windows XP (or ME) prefix
under Wine and shows what the program removed, what it left, and what the restart removed
afterwards. On a machine that cannot run 32-bit programs (so no 32-bit Wine), it shows the
same run on the simulated machine of the host build instead (build/host/sim_demo)."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Prefix  # noqa: E402

# The driver set as its installer leaves it, with look-alikes that must stay: on Windows XP the
# records, files and services plus the handset's device instances and OEM INF copies.
DEMOS = {
    "winxp": ("Windows XP", [os.path.join(harness.ROOT, "tests", "fixtures", "nt-driver-set"),
                             os.path.join(harness.ROOT, "e2e", "fixtures", "nt-devices")]),
    "winme": ("Windows ME", [os.path.join(harness.ROOT, "tests", "fixtures", "legacy-driver-set")]),
}
# Wine carries out wininit.ini at every session start, so the one the host tests plant would be
# gone before the program runs.
HOST_ONLY_FILES = ["C:\\windows\\wininit.ini", "C:\\TEMP\\OTHERAPP.TMP"]


def planted_items(fixture, entries):
    """(label, check(snapshot) -> present?) for every key, value and file the fixture plants."""
    items = []
    reg = os.path.join(fixture, "registry.reg")
    if os.path.exists(reg):
        for key in harness.parse_reg_file(reg).values():
            if not key.name.lower().startswith("hkey_local_machine\\") or \
                    key.name.count("\\") < 2:
                continue
            items.append(("key   " + key.name, lambda s, k=key.name: s.has_key(k)))
            for name, _, _ in key.values.values():
                items.append(("value %s\\%s" % (key.name, name or "@"),
                              lambda s, k=key.name, n=name: s.value(k, n) is not None))
    for e in entries:
        items.append(("file  " + e.path, lambda s, p=e.path: s.file(p) is not None))
    return items


def section(title, lines):
    print("\n%s (%d)" % (title, len(lines)))
    for line in lines or ["(none)"]:
        print("  " + line)


def main():
    version = sys.argv[1] if len(sys.argv) > 1 else "winxp"
    if version not in DEMOS:
        print("usage: ./run demo [%s]" % "|".join(sorted(DEMOS)))
        sys.exit(2)
    title, fixtures = DEMOS[version]
    if os.environ.get("K440_DEMO_FIXTURE"):
        fixtures = [os.environ["K440_DEMO_FIXTURE"]]
    try:
        harness.require_thirty_two_bit_code()
    except harness.NoThirtyTwoBitCode as e:
        # The same product code, compiled for this host, on the simulated machine instead.
        print("%s.\nShowing the same uninstall on the simulated machine "
              "(build/host/sim_demo) instead.\n" % e, flush=True)
        sim_demo = os.path.join(harness.ROOT, "build", "host", "sim_demo")
        sys.exit(subprocess.run([sim_demo, version] + fixtures).returncode)
    print("Creating a %s prefix under Wine ..." % title)
    with Prefix("demo", version=version) as p:
        entries, items = [], []
        for fixture in fixtures:
            if not os.path.isdir(fixture):
                print("nothing planted from %s (it does not exist)" % os.path.relpath(fixture, harness.ROOT))
                continue
            planted = [e for e in p.plant(fixture)
                       if e.path.lower() not in [f.lower() for f in HOST_ONLY_FILES]]
            for host_only in HOST_ONLY_FILES:
                if p.exists(host_only):
                    os.remove(p.host_path(host_only))
            entries += planted
            items += planted_items(fixture, planted)
            print("Planted %s" % os.path.relpath(fixture, harness.ROOT))
        exe = p.install_product()
        before = p.snapshot()

        print("\nRunning %s -quiet from its install folder ..." % exe)
        result = p.run_watched(exe, ["-quiet"], timeout=120)
        for box in result.boxes:
            print("  a box was shown and answered: %r: %r" % (box.caption, box.text))
        if result.timed_out:
            print("exit code: none, the program did not end within 120 s")
        else:
            print("exit code: %d (%s)" % (result.code,
                                        harness.EXIT_CODES.get(result.code, "not a known code")))

        after = p.snapshot()
        diff = before.diff(after)
        section("Removed by the program",
                diff.removed_keys + diff.removed_values + diff.removed_files)
        section("Still there of what was planted",
                [label for label, present in items if present(after)])
        others = [line for line in diff.lines()
                  if line.split(":")[0] in ("key appeared", "value appeared", "value changed",
                                            "file appeared", "file changed")]
        if others:
            section("Other changes", others)

        print("\nRestarting (wineboot -r) ...")
        p.restart()
        restarted = p.snapshot()
        rdiff = after.diff(restarted)
        section("Removed by the restart",
                rdiff.removed_keys + rdiff.removed_values + rdiff.removed_files)
        if entries or items:
            section("Still there after the restart",
                    [label for label, present in items if present(restarted)])


if __name__ == "__main__":
    try:
        main()
    except harness.HarnessError as e:
        print("demo failed: %s" % e)
        sys.exit(1)
