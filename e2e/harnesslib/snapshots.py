"""Snapshots of a prefix (its registry and drive C) and their difference."""
import re

from harnesslib.registry_files import (REG_BINARY, REG_DWORD, REG_EXPAND_SZ, REG_MULTI_SZ,
                                       REG_SZ, normalise_root)

# What Wine changes by itself between two runs of a program that does nothing; a diff leaves
# it out. Registry patterns match lower-case key paths, file patterns lower-case Windows paths.
# Measured by snapshotting around runs that change nothing (-quiet -bogus, the refused start
# on win95 with its box, wineboot -r): the only churn is the display driver's timestamp, which
# winex11 rewrites whenever a program starts. The harness's own files live in C:\e2e-tools
# (copied in before any snapshot, so they never appear as a change).
WINE_CHURN_KEYS = [
]
WINE_CHURN_VALUES = [
    r"^hkey_local_machine\\system\\currentcontrolset\\control\\class\\"
    r"\{4d36e968-e325-11ce-bfc1-08002be10318\}\\\d{4}\\driverdatedata$",
    # Wine's own display adapter and monitor: a server that finds them half-written gives the
    # adapter a new VideoID and LUID, and the monitor the adapter's new LUID.
    r"^hkey_local_machine\\system\\currentcontrolset\\enum\\pci\\ven_0000&dev_0000[^\\]*"
    r"\\[^\\]+\\(device parameters\\videoid|properties\\"
    r"\{60b193cb-5276-4d0f-96fc-f173abad3ec6\}\\0002\\@?)$",
    r"^hkey_local_machine\\system\\currentcontrolset\\enum\\display\\[^\\]+\\[^\\]+"
    r"\\properties\\\{ca085853-16ce-48aa-b114-de9c72334223\}\\0001\\@?$",
]
WINE_CHURN_FILES = [
    r"^c:\\e2e-tools(\\|$)",
]


class Diff:
    """What a run changed. Each list holds readable lines; keys/values are separate so that a
    case can check exactly the removals it expects."""

    def __init__(self):
        self.removed_keys, self.added_keys = [], []
        self.removed_values, self.added_values, self.changed_values = [], [], []
        self.removed_files, self.added_files, self.changed_files = [], [], []

    def empty(self):
        return not any(self.__dict__.values())

    def lines(self):
        out = []
        for label, items in (("key gone", self.removed_keys), ("key appeared", self.added_keys),
                             ("value gone", self.removed_values),
                             ("value appeared", self.added_values),
                             ("value changed", self.changed_values),
                             ("file gone", self.removed_files),
                             ("file appeared", self.added_files),
                             ("file changed", self.changed_files)):
            out += ["%s: %s" % (label, i) for i in items]
        return out

    def __str__(self):
        return "\n".join(self.lines()) or "(no change)"


class Snapshot:
    def __init__(self, registry, files):
        self.registry = registry
        self.files = files

    def value(self, key_path, name):
        """(type, data) of a value, or None."""
        key = self.registry.get(normalise_root(key_path).lower())
        if not key:
            return None
        v = key.values.get(name.lower())
        return v[1:] if v else None

    def has_key(self, key_path):
        return normalise_root(key_path).lower() in self.registry

    def file(self, windows_path):
        """(attribute letters, size, digest) of a file or folder, or None."""
        return self.files.get(windows_path.rstrip("\\").lower())

    def diff(self, after, ignore_keys=(), ignore_values=(), ignore_files=()):
        """What changed from this snapshot to `after`, leaving out Wine's own churn and the
        given extra patterns (regular expressions over lower-case paths: key paths, key
        path + "\\" + value name, Windows file paths)."""
        key_filters = [re.compile(p) for p in WINE_CHURN_KEYS + list(ignore_keys)]
        value_filters = [re.compile(p) for p in WINE_CHURN_VALUES + list(ignore_values)]
        file_filters = [re.compile(p) for p in WINE_CHURN_FILES + list(ignore_files)]
        skip_key = lambda k: any(f.search(k) for f in key_filters)
        skip_file = lambda k: any(f.search(k) for f in file_filters)
        d = Diff()
        for k in sorted(set(self.registry) | set(after.registry)):
            if skip_key(k):
                continue
            a, b = self.registry.get(k), after.registry.get(k)
            if a and not b:
                d.removed_keys.append(a.name)
                d.removed_values += ["%s\\%s = %s" % (a.name, v[0] or "@", _show(v))
                                     for v in a.values.values()]
            elif b and not a:
                d.added_keys.append(b.name)
                d.added_values += ["%s\\%s = %s" % (b.name, v[0] or "@", _show(v))
                                   for v in b.values.values()]
            else:
                for n in sorted(set(a.values) | set(b.values)):
                    if any(f.search(k + "\\" + n) for f in value_filters):
                        continue
                    va, vb = a.values.get(n), b.values.get(n)
                    if va and not vb:
                        d.removed_values.append("%s\\%s = %s" % (a.name, va[0] or "@", _show(va)))
                    elif vb and not va:
                        d.added_values.append("%s\\%s = %s" % (b.name, vb[0] or "@", _show(vb)))
                    elif va[1:] != vb[1:]:
                        d.changed_values.append("%s\\%s: %s -> %s" % (
                            a.name, va[0] or "@", _show(va), _show(vb)))
        for k in sorted(set(self.files) | set(after.files)):
            if skip_file(k):
                continue
            a, b = self.files.get(k), after.files.get(k)
            if a and not b:
                d.removed_files.append("%s [%s]" % (k, a[0]))
            elif b and not a:
                d.added_files.append("%s [%s]" % (k, b[0]))
            elif a != b:
                d.changed_files.append("%s [%s %d] -> [%s %d]" % (k, a[0], a[1], b[0], b[1]))
        return d


def _show(value):
    _, t, data = value
    names = {REG_SZ: "sz", REG_EXPAND_SZ: "expand_sz", REG_MULTI_SZ: "multi_sz",
             REG_DWORD: "dword", REG_BINARY: "binary"}
    if isinstance(data, bytes):
        return "%s:%s" % (names.get(t, "type%d" % t), data.hex(","))
    return "%s:%r" % (names.get(t, "type%d" % t), data)
