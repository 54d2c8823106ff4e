"""File attributes as Wine keeps them: read-only is a file without write permission; hidden
and system are the user.DOSATTRIB extended attribute ("0x2", "0x6", ...)."""
import os

READONLY, HIDDEN, SYSTEM, DIRECTORY = 0x01, 0x02, 0x04, 0x10


def set_dos_attributes(host_path, letters):
    bits = 0
    if "H" in letters:
        bits |= HIDDEN
    if "S" in letters:
        bits |= SYSTEM
    if bits:
        os.setxattr(host_path, "user.DOSATTRIB", ("0x%x" % bits).encode())
    if "R" in letters:
        os.chmod(host_path, os.stat(host_path).st_mode & ~0o222)


def dos_attributes(host_path, st):
    bits = DIRECTORY if os.path.isdir(host_path) else 0
    if not st.st_mode & 0o200:
        bits |= READONLY
    try:
        raw = os.getxattr(host_path, "user.DOSATTRIB", follow_symlinks=False)
        bits |= int(raw.split(b"\0")[0].decode(), 16) & (HIDDEN | SYSTEM)
    except (OSError, ValueError):
        pass
    return bits


def attribute_letters(bits):
    return "".join(l for b, l in ((READONLY, "R"), (HIDDEN, "H"), (SYSTEM, "S"), (DIRECTORY, "D"))
                   if bits & b) or "-"
