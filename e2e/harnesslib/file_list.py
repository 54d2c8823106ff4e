"""files.txt fixtures (the host simulation's format), and the listing of every file and
folder of a prefix's drive C."""
import hashlib
import os

from harnesslib.dos_attributes import attribute_letters, dos_attributes
from harnesslib.errors import HarnessError

class FileEntry:
    def __init__(self, attributes, path, content, folder, in_use):
        self.attributes = attributes
        self.path = path
        self.content = content
        self.folder = folder
        self.in_use = in_use


def _unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            i += 1
            c = {"n": "\n", "t": "\t", "r": "\r"}.get(text[i], text[i])
        out.append(c)
        i += 1
    return "".join(out)


def read_file_list(list_file):
    """The entries of a files.txt (see Prefix.plant_files)."""
    entries = []
    here = os.path.dirname(list_file)
    with open(list_file, "rb") as f:
        raw_lines = f.read().split(b"\n")
    for number, raw in enumerate(raw_lines, 1):
        raw = raw.rstrip(b"\r")
        if not raw or raw.startswith(b"#"):
            continue
        fields = raw.split(b"\t")
        if len(fields) < 2:
            raise HarnessError("%s:%d: bad file line %r" % (list_file, number, raw))
        attrs = fields[0].decode("ascii")
        path = fields[1].decode("cp932")
        content = b""
        if len(fields) > 2 and fields[2]:
            text = b"\t".join(fields[2:])
            if text.startswith(b"@"):
                with open(os.path.join(here, text[1:].decode("utf-8")), "rb") as c:
                    content = c.read()
            else:
                content = _unescape(text.decode("latin-1")).encode("latin-1")
        entries.append(FileEntry(attrs, path, content, "D" in attrs, "U" in attrs))
    return entries


DIGEST_LIMIT = 1 << 20


def list_files(drive_c):
    """{lower-case Windows path: (attribute letters, size, content)} of every file and folder
    under drive_c (symbolic links are not followed). content is a digest for files up to 1 MB
    and the modification time for larger ones (Wine's own DLLs; hashing them would double the
    time of a snapshot); None for folders."""
    out = {}
    for here, dirs, files in os.walk(drive_c):
        rel = os.path.relpath(here, drive_c)
        base = "C:" if rel == "." else "C:\\" + rel.replace("/", "\\")
        for n in sorted(dirs + files):
            p = os.path.join(here, n)
            st = os.lstat(p)
            key = (base + "\\" + n).lower()
            if os.path.islink(p):
                out[key] = ("L", 0, os.readlink(p))
            elif os.path.isdir(p):
                out[key] = (attribute_letters(dos_attributes(p, st)), 0, None)
            else:
                if st.st_size <= DIGEST_LIMIT:
                    with open(p, "rb") as f:
                        content = hashlib.sha1(f.read()).hexdigest()
                else:
                    content = "mtime:%d" % st.st_mtime_ns
                out[key] = (attribute_letters(dos_attributes(p, st)), st.st_size, content)
        dirs[:] = [d for d in dirs if not os.path.islink(os.path.join(here, d))]
    return out
