"""What a whole run must remove from a fixture machine: <fixture>/expected.txt, the one list
the host test and the end-to-end case both read (the file's head describes its lines)."""
import os

from harnesslib.errors import HarnessError

KINDS = {"key": 2, "key_on_me": 2, "value": 3, "file": 2, "file_at_restart": 2}


def read_expected_removals(fixture_dir):
    """{kind: [entry]} for every kind; an entry is the path, or (key, name) for a value."""
    path = os.path.join(fixture_dir, "expected.txt")
    out = {kind: [] for kind in KINDS}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if KINDS.get(fields[0]) != len(fields):
                raise HarnessError("%s:%d: not an entry: %r" % (path, number, line))
            out[fields[0]].append(tuple(fields[1:]) if fields[0] == "value" else fields[1])
    return out
