#!/usr/bin/env python3
"""Whether a built program loads on every Windows it claims. The loader of each Windows refuses
a program that imports one name its DLL does not export, before the program runs, and Wine
cannot show it (it loads any import it has, whatever Windows a prefix claims). So every import
of the program must be on windows_exports.txt for every claimed Windows, and the PE header must
name an OS and subsystem version those loaders take. The program must also build the same from
any folder: no link time stamp, no build path inside.

Prints each problem, naming the import and the Windows, and exits 1; exits 0 when there is none.

usage: check_imports.py <dist/K440dTUn.exe or dist/K440dTUn64.exe> [<source folder>]"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "resources"))
from pe_resources import PeFile  # noqa: E402

GUI = 2
# What each program claims: its Windows, machine, and the OS and subsystem version its header
# must carry (Windows 9x refuses a program whose versions are above 4.0's family).
PROGRAMS = {
    "k440dtun.exe": {"windows": ["98", "98se", "me", "2000", "xp", "2003"],
                     "machine": 0x14C, "version": (4, 0)},
    "k440dtun64.exe": {"windows": ["xp-x64", "2003-x64"], "machine": 0x8664, "version": (5, 2)},
}
NAMES = {"98": "Windows 98", "98se": "Windows 98 SE", "me": "Windows ME", "2000": "Windows 2000",
         "xp": "Windows XP", "2003": "Windows Server 2003", "xp-x64": "Windows XP x64",
         "2003-x64": "Windows Server 2003 x64"}


def read_exports(path):
    """{(DLL in upper case, function): set of Windows}; a malformed line is an error."""
    exports = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split(None, 3)
            if len(fields) < 4 or not set(fields[2].split(",")) <= set(NAMES):
                raise ValueError("%s:%d: want DLL, function, Windows, source: %r" % (path, number, line))
            exports.setdefault((fields[0].upper(), fields[1]), set()).update(fields[2].split(","))
    return exports


def import_problems(imports, windows, exports):
    found = []
    for dll, name in sorted(set(imports), key=str):
        if not isinstance(name, str):
            found.append("%s imports ordinal %d, which no list can vouch for" % (dll, name))
            continue
        lacking = [NAMES[w] for w in windows if w not in exports.get((dll.upper(), name), ())]
        if lacking:
            found.append("%s!%s is not listed as exported by %s" % (dll, name, ", ".join(lacking)))
    return found


def header_problems(pe, claim):
    found = []
    if pe.machine != claim["machine"]:
        found.append("machine %#x, not %#x" % (pe.machine, claim["machine"]))
    if pe.subsystem != GUI:
        found.append("subsystem %d, not the Windows GUI (2)" % pe.subsystem)
    for what, version in (("OS", pe.os_version), ("subsystem", pe.subsystem_version)):
        if version != claim["version"]:
            found.append("%s version %d.%d, not %d.%d" % ((what,) + version + claim["version"]))
    return found


def reproducibility_problems(pe, source_dir):
    found = []
    if pe.time_stamp:
        found.append("link time stamp %#x: two builds of one commit would differ" % pe.time_stamp)
    if source_dir and source_dir.encode() in pe.data:
        found.append("the build folder %s is inside the program" % source_dir)
    return found


def main(argv):
    program = argv[1]
    source_dir = os.path.abspath(argv[2]) if len(argv) > 2 else None
    claim = PROGRAMS[os.path.basename(program).lower()]
    with open(program, "rb") as f:
        pe = PeFile(f.read())
    exports = read_exports(os.path.join(HERE, "windows_exports.txt"))
    imports = pe.imports()
    unlisted = import_problems(imports, claim["windows"], exports)
    problems = unlisted + header_problems(pe, claim) + reproducibility_problems(pe, source_dir)
    # The check itself: an import that only later Windows export must be caught.
    if not import_problems([("KERNEL32.dll", "GetModuleHandleExW")], claim["windows"], exports):
        problems.append("the check lets KERNEL32.dll!GetModuleHandleExW through")
    for p in problems:
        print("%s: %s" % (os.path.basename(program), p))
    print("%s: %d imports checked against %s; %d problem(s)" % (
        os.path.basename(program), len(imports), ", ".join(NAMES[w] for w in claim["windows"]),
        len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
