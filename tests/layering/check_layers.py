#!/usr/bin/env python3
"""The product's folders are layers: a file includes headers of its own folder and of lower
layers only, and only platform/win32.h includes the platform. Keys below HKEY_LOCAL_MACHINE are
opened only by base/registry_view.cpp, which applies the run's registry view. Prints every line
that breaks this and exits 1; exits 0 when there is none.

Usage: check_layers.py <source dir>
"""
import os
import re
import sys

# Lower numbers lie lower. Folders of one number are peers and do not include each other.
LAYERS = {
    "resources": 0,  # the resource ids, shared with the resource scripts
    "platform": 1,   # the seam: the real headers or the simulated machine
    "base": 2,       # run record, profile, switches, texts, lists, paths, registry helpers
    "inventory": 3,  # what the driver set left, both families
    "prechecks": 3,  # handset attached, installed driver version
    "removal": 3,    # the removal sequence and its steps
    "control": 4,    # the run's flow and what the user sees
}

# The C and C++ runtime headers product code may include directly; everything of the platform
# comes through platform/win32.h.
RUNTIME_HEADERS = {
    "ctype.h", "limits.h", "mbstring.h", "stdarg.h", "stddef.h", "stdint.h", "stdio.h",
    "stdlib.h", "string.h", "wchar.h",
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')

# What only the one opener of machine keys may name in code (comments may name it).
MACHINE_ROOT = re.compile(r"\b(HKEY_LOCAL_MACHINE|KEY_WOW64_32KEY|KEY_WOW64_64KEY)\b")
MACHINE_KEY_OPENER = os.path.join("base", "registry_view.cpp")


def violations_in(path, folder):
    rank = LAYERS[folder]
    opens_machine_keys = folder != "platform" and not path.endswith(MACHINE_KEY_OPENER)
    with open(path, encoding="latin-1") as source:
        for number, line in enumerate(source, 1):
            if opens_machine_keys and MACHINE_ROOT.search(line.split("//", 1)[0]):
                yield (f"{path}:{number}: {line.strip()}: keys below HKEY_LOCAL_MACHINE are "
                       "opened through open_machine_key (base/registry_view.h)")
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, name = match.groups()
            where = f"{path}:{number}: {line.strip()}"
            if kind == "<":
                if folder != "platform" and name not in RUNTIME_HEADERS:
                    yield f"{where}: the platform is included only by platform/win32.h"
                continue
            if ".." in name.split("/"):
                yield f"{where}: an include names headers from the source root, never by climbing"
                continue
            # A header beside the including file, or below its folder, is of the same layer
            # (platform/sim includes its own headers by their bare names).
            if os.path.exists(os.path.join(os.path.dirname(path), name)):
                continue
            target = name.split("/", 1)[0]
            if target not in LAYERS:
                yield f"{where}: {target}/ is no product layer"
            elif target != folder and LAYERS[target] >= rank:
                yield f"{where}: {folder}/ (layer {rank}) includes {target}/ (layer {LAYERS[target]})"


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    found = []
    checked = 0
    for folder in LAYERS:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if name.endswith((".h", ".cpp")):
                    checked += 1
                    found.extend(violations_in(os.path.join(directory, name), folder))
    if checked == 0:
        print(f"no product sources under {root}")
        return 1
    for line in found:
        print(line)
    print(f"{checked} files checked, {len(found)} lines against the layers")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
