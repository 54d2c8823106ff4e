"""Whether a whole quiet run removed exactly a fixture's driver set: the difference of two
snapshots against the fixture's expected.txt (read_expected_removals)."""
HKLM = "hkey_local_machine\\"
# A run that needs a restart registers the files still in use; each run appends to the value.
PENDING_RENAMES = r"\\control\\session manager\\pendingfilerenameoperations$"
# Wine rewrites its display driver's key at every start; no business of the uninstaller.
WINE_DISPLAY_CHURN = r"\\control\\class\\\{4d36e968-e325-11ce-bfc1-08002be10318\}\\0000$"


def _path(line):
    """The path of a diff line: "<path> [<attributes>]" or "<key>\\<name> = <data>"."""
    return line.split(" = ")[0].rsplit(" [", 1)[0].lower()


def driver_set_removal_faults(before, after, expected, program):
    """Readable faults, none when the run removed exactly the expected keys (with everything
    below them), values and files, and changed nothing else but the pending renames and the
    running program's own entry (set aside under a name of its own, it goes at the restart)."""
    diff = before.diff(after, ignore_keys=[WINE_DISPLAY_CHURN], ignore_values=[PENDING_RENAMES])
    faults = []
    trees = [HKLM + k.lower() for k in expected["key"]]
    under = lambda key: any(key == t or key.startswith(t + "\\") for t in trees)
    removed_keys = set(k.lower() for k in diff.removed_keys)
    faults += ["removed, not in the driver set: key " + k for k in sorted(removed_keys)
               if not under(k)]
    faults += ["never planted: key " + t for t in trees if t not in before.registry]
    faults += ["still there: key " + t for t in trees
               if t in before.registry and t not in removed_keys]
    loose = set(_path(v) for v in diff.removed_values if _path(v).rsplit("\\", 1)[0]
                not in removed_keys)
    wanted = set(HKLM + ("%s\\%s" % v).lower() for v in expected["value"])
    faults += ["removed, not in the driver set: value " + v for v in sorted(loose - wanted)]
    faults += ["still there: value " + v for v in sorted(wanted - loose)]
    folder = program.lower().rsplit("\\", 1)[0] + "\\"
    set_aside = lambda f: (f.startswith(folder) and f[len(folder):].startswith("k440dt_del") and
                           f.endswith(".tmp"))
    files = set(_path(f) for f in diff.removed_files) - set([program.lower()])
    wanted = set(f.lower() for f in expected["file"])
    faults += ["removed, not in the driver set: file " + f for f in sorted(files - wanted)]
    faults += ["still there: file " + f for f in sorted(wanted - files)]
    faults += ["appeared: " + line for line in diff.added_keys + diff.added_values +
               [f for f in diff.added_files if not set_aside(_path(f))]]
    faults += ["changed: " + line for line in diff.changed_values]
    faults += ["changed: " + line for line in diff.changed_files
               if not line.lower().startswith(program.lower() + " ")]
    return faults
