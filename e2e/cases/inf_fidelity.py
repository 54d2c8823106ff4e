"""The simulated SetupAPI reads INF files as Wine's does: inf_dump of the host build (the
simulation) and of the Windows build (Wine's SetupAPI) over the same INF files, compared byte
for byte, on a machine of code page 932 and on one of code page 1252."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import ROOT, HarnessError, Prefix, case, check, main  # noqa: E402
from inf_fixtures import fixtures, fixtures_1252  # noqa: E402

WIN_DUMP = os.path.join(ROOT, "build", "win", "inf_dump.exe")
HOST_DUMP = os.path.join(ROOT, "build", "host", "tools", "inf_dump")
INF_FOLDER = "C:\\windows\\inf\\"


def split_files(dump):
    """The dump's lines grouped by their "file" line."""
    groups = {}
    name = None
    for line in dump.split(b"\n"):
        if line.startswith(b"file "):
            name = line[5:].decode("cp932", "replace")
            groups[name] = []
        elif name is not None and line:
            groups[name].append(line)
    return groups


def compare_readings(name, files, lang, host_options):
    """Dumps `files` with Wine's SetupAPI in a prefix of locale `lang` and with the simulation
    (inf_dump `host_options`); fails on any difference."""
    for tool in (WIN_DUMP, HOST_DUMP):
        if not os.path.exists(tool):
            raise HarnessError("%s is missing: build both builds first" % tool)
    paths = [INF_FOLDER + file_name for file_name in sorted(files)]
    with tempfile.TemporaryDirectory() as folder, Prefix(name, version="winxp", lang=lang) as p:
        for file_name, data in files.items():
            with open(os.path.join(folder, file_name), "wb") as f:
                f.write(data)
            p.copy_in(os.path.join(folder, file_name), INF_FOLDER + file_name)
        tool = p.copy_in(WIN_DUMP, "C:\\e2e-tools\\inf_dump.exe")
        wine = p.run(tool, paths, timeout=120)
        check(wine.code == 0, "inf_dump.exe under Wine ended with %r: %r" % (wine.code, wine.stderr))
        host = subprocess.run([HOST_DUMP] + host_options + ["-from", folder] + paths,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
        check(host.returncode == 0, "the host inf_dump ended with %d: %r"
              % (host.returncode, host.stderr))
    wine_files, host_files = split_files(wine.stdout), split_files(host.stdout)
    check(sorted(wine_files) == sorted(paths), "Wine's dump names %r" % sorted(wine_files))
    differences = []
    for path in paths:
        if wine_files[path] != host_files.get(path):
            differences.append("%s\n  Wine:       %r\n  simulation: %r"
                               % (path, wine_files[path], host_files.get(path)))
    check(not differences, "the readings differ:\n" + "\n".join(differences))


@case
def inf_dump_of_wine_and_simulation_agree():
    compare_readings("inf_fidelity", fixtures(), "ja_JP.UTF-8", [])


@case
def inf_dump_agrees_on_a_western_machine():
    # Wine under the C locale reads and writes text in code page 1252.
    compare_readings("inf_fidelity_1252", fixtures_1252(), "C.UTF-8", ["-code_page", "1252"])


main()
