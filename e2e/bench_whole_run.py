"""Whole quiet runs under Wine on generated Windows XP machines of 1, 2, 4 and 8 times a typical
one, against the cost of starting a process and against the floor of such a run.

Per unit (harnesslib/xp_machine.py): 2,000 services, 300 device instances under
HKLM\\System\\CurrentControlSet\\Enum with their driver keys under Control\\Class, 1,500 OEM INF
files with their PNF twins and 100 uninstall records; the nt-driver-set fixture is planted among
them. Each size gets its own Windows XP prefix; the machine goes in with one regedit call, and
setupapi_probe checks that Wine's SetupDiGetClassDevsA(DIGCF_ALLCLASSES) lists every generated
device. Then, in rounds, a quiet run of the uninstaller on the driver set (planted afresh
before each round, untimed), a run of build/win/e2e-tools/empty_gui.exe, a program that only
starts and exits, and a run of build/win/e2e-tools/bench_floor_gui.exe, the floor: a program
with the same start-up that does only the reading no uninstaller of this kind can do without
(every uninstall record's DisplayName and UninstallString and every service's ImagePath read
once, one device list of all classes with each device's hardware ids and filter lists, the
setup classes' filter lists and the co-installer lists, one listing of inf\oem*.inf, and a
look-up of each of the product's driver files in system32\drivers). The
first round only warms up. After each round a snapshot of the prefix (registry and drive C)
must differ from the one taken before the first run by exactly the removals of the fixture's
expected.txt: the generated machine and the fixture's look-alikes stay whole, and the empty
program and the floor change nothing. A snapshot ends the wineserver (it writes the registry
out then); the planting of the next round starts it again, so every run of a round meets a
running server that holds the whole registry.

    python3 e2e/bench_whole_run.py                       # sizes 1,2,4,8; 5 rounds each
    python3 e2e/bench_whole_run.py --sizes 1,2 --runs 7 --exe /path/to/other/K440dTUn.exe

Options: --sizes (default 1,2,4,8), --runs (default K440_BENCH_RUNS or 5), --exe (default
dist/K440dTUn.exe), --services-per-unit (default the full 2,000: Wine's own start-up does not
grow with them, the empty program's run at 8x, 16,000 services, costs what it costs at 1x),
--cpus (default 0; "all" leaves the placement to the scheduler).

The script and every Wine process it starts run on the CPUs of --cpus. Nearly every call the
uninstaller makes is a request to the wineserver; where the program and the server sit on two
CPUs of a virtual machine, each request wakes the other CPU, and whether the scheduler keeps
them together or apart changed a 1x run between 0.5 s and 2.3 s (and made the CPU figures
swell with it) on the two-core machine the README's figures come from. On one CPU the figures
repeat, and they measure the work rather than the wake-ups.

Measured per run: wall time; the CPU of the `wine` process and its children (getrusage); the
CPU of the prefix's wineserver (utime + stime from /proc, before and after: the server is not
a child and serves every program of the prefix, so its share is the program's work done for it
in the server). Printed per size: medians of each for the quiet run and the empty program, the
own work (quiet run less empty program) in wall time and in CPU (process + server), the own
work per unit, the floor's own work (floor less empty program, CPU), and the quiet run's own
work over the floor's own work in CPU, the median of the rounds' ratios (each round's runs
less that round's empty program). Not a CTest case: the figures depend on the machine.
"""
import argparse
import os
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench_startup import EMPTY_EXE, EMPTY_WINDOWS_PATH, FIXTURE, cpu_of_children  # noqa: E402
from harness import (DEFAULT_INSTALL_DIR, PRODUCT_EXE, ROOT, HarnessError, Prefix,  # noqa: E402
                     read_expected_removals)
from harnesslib import xp_machine  # noqa: E402
from harnesslib.bench_figures import own_work_table  # noqa: E402
from harnesslib.whole_run_check import driver_set_removal_faults  # noqa: E402

FLOOR_EXE = os.path.join(ROOT, "build", "win", "e2e-tools", "bench_floor_gui.exe")
FLOOR_WINDOWS_PATH = "C:\\e2e-tools\\bench_floor_gui.exe"
PROBE_EXE = os.path.join(ROOT, "build", "win", "e2e-tools", "setupapi_probe.exe")
PROBE_WINDOWS_PATH = "C:\\e2e-tools\\setupapi_probe.exe"
PROGRAM = DEFAULT_INSTALL_DIR.rstrip("\\") + "\\K440dTUn.exe"
TICK = os.sysconf("SC_CLK_TCK")


def server_pid(prefix):
    """The pid of the prefix's wineserver: the one whose working folder is the server folder
    Wine names after the prefix's device and inode."""
    st = os.stat(prefix.path)
    folder = "server-%x-%x" % (st.st_dev, st.st_ino)
    for _ in range(50):  # the server may still be setting up after `wineserver -p` returned
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/comm" % pid) as f:
                    if not f.read().startswith("wineserver"):
                        continue
                if os.path.basename(os.readlink("/proc/%s/cwd" % pid)) == folder:
                    return int(pid)
            except OSError:
                continue
        time.sleep(0.1)
    raise HarnessError("no wineserver runs for %s (%s)" % (prefix.path, folder))


def server_cpu(pid):
    """The server's CPU so far: in nanoseconds from schedstat (the server has one thread), else
    in clock ticks of 10 ms from stat, which alone would move a 1x ratio by a tenth."""
    try:
        with open("/proc/%d/schedstat" % pid) as f:
            return int(f.read().split()[0]) / 1e9
    except (OSError, ValueError, IndexError):
        pass
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK  # utime, stime


def timed(prefix, exe, args, expected_code):
    """(wall, process CPU, server CPU) seconds of `wine <exe> <args>`, run from its folder."""
    prefix.env()  # starts the server if a snapshot ended it
    pid = server_pid(prefix)
    server = server_cpu(pid)
    cpu = cpu_of_children()
    started = time.perf_counter()
    done = prefix.wine([exe] + list(args), timeout=600, check_rc=False,
                       cwd=os.path.dirname(prefix.host_path(exe)))
    wall = time.perf_counter() - started
    cpu = cpu_of_children() - cpu
    server = server_cpu(pid) - server
    if done.returncode != expected_code:
        raise HarnessError("%s %s ended with %r, expected %d" % (exe, " ".join(args),
                                                                 done.returncode, expected_code))
    return wall, cpu, server


def build_machine(p, scale, services_per_unit):
    text = xp_machine.registry_text(scale, services_per_unit)
    local = os.path.join(p.drive_c, "bench-machine.reg")
    with open(local, "w", encoding="ascii", newline="") as f:
        f.write(text)
    p.wine(["regedit", "/S", "C:\\bench-machine.reg"], timeout=3600)
    os.remove(local)
    for path, content in xp_machine.inf_files(scale):
        with open(p.host_path(path), "wb") as f:
            f.write(content)


def listed_devices(p):
    """The instance ids that Wine's SetupDiGetClassDevsA(DIGCF_ALLCLASSES) lists."""
    p.copy_in(PROBE_EXE, PROBE_WINDOWS_PATH)
    done = p.wine([PROBE_WINDOWS_PATH, "list"], timeout=600)
    return [line.split("\t")[3] for line in done.stdout.decode("latin-1").splitlines()
            if line.startswith("device\t") and line.count("\t") >= 3]


def plant_driver_set(p, exe):
    p.plant(FIXTURE)
    shutil.copyfile(exe, p.host_path(PROGRAM))


def bench_size(scale, runs, exe, services_per_unit, expected):
    """[(quiet, empty, floor)] of `runs` rounds, each run (wall, cpu, server)."""
    count = xp_machine.sizes(scale, services_per_unit)
    with Prefix("bench_whole_run_%dx" % scale, version="winxp") as p:
        started = time.time()
        build_machine(p, scale, services_per_unit)
        p.copy_in(EMPTY_EXE, EMPTY_WINDOWS_PATH)
        p.copy_in(FLOOR_EXE, FLOOR_WINDOWS_PATH)
        p.copy_in(exe, PROGRAM)
        generated = set(xp_machine.device_instance(n)[len(xp_machine.ENUM):].upper()
                        for n in range(count["devices"]))
        missing = generated - set(d.upper() for d in listed_devices(p))
        if missing:
            raise HarnessError("%d generated devices not listed by SetupAPI, e.g. %s"
                               % (len(missing), sorted(missing)[0]))
        plant_driver_set(p, exe)
        before = p.snapshot()
        print("%dx: %s; built and checked in %.0f s" % (
            scale, ", ".join("%d %s" % (n, what.replace("_", " ")) for what, n in count.items()),
            time.time() - started), flush=True)
        rounds = []
        # Round 0 warms the file cache and the server's registry and is not counted: the first
        # run after the machine went in reads the programs and SetupAPI from disk.
        for run in range(runs + 1):
            if run:
                plant_driver_set(p, exe)
            quiet = timed(p, PROGRAM, ["-quiet"], 2)
            empty = timed(p, EMPTY_WINDOWS_PATH, [], 0)
            floor = timed(p, FLOOR_WINDOWS_PATH, [], 0)
            faults = driver_set_removal_faults(before, p.snapshot(), expected, PROGRAM)
            if faults:
                raise HarnessError("%dx run %d did not remove exactly the driver set:\n%s"
                                   % (scale, run, "\n".join(faults[:40])))
            if run:
                rounds.append((quiet, empty, floor))
            print("  %s: quiet %.3f s wall, %.3f s CPU, %.3f s server; empty %.3f s wall, "
                  "%.3f s CPU, %.3f s server; floor %.3f s wall, %.3f s CPU, %.3f s server"
                  % (("run %d" % run if run else "warm-up",) + quiet + empty + floor), flush=True)
        return rounds


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--sizes", default="1,2,4,8")
    parser.add_argument("--runs", type=int, default=int(os.environ.get("K440_BENCH_RUNS", "5")))
    parser.add_argument("--exe", default=PRODUCT_EXE)
    parser.add_argument("--services-per-unit", type=int, default=xp_machine.UNIT["services"])
    parser.add_argument("--cpus", default="0")
    args = parser.parse_args()
    if args.cpus != "all":
        # Inherited by the wineserver, Xvfb and every Wine process the script starts.
        os.sched_setaffinity(0, {int(c) for c in args.cpus.split(",")})
    for needed in (args.exe, EMPTY_EXE, FLOOR_EXE, PROBE_EXE):
        if not os.path.exists(needed):
            raise HarnessError("%s is missing: build the Windows build first" % needed)
    expected = read_expected_removals(FIXTURE)
    started = time.time()
    results = {}
    for scale in [int(s) for s in args.sizes.split(",")]:
        results[scale] = bench_size(scale, args.runs, args.exe, args.services_per_unit, expected)
    print("\n%s, %d rounds per size, %d services per unit, CPUs %s; medians in seconds"
          % (args.exe, args.runs, args.services_per_unit,
             ",".join(str(c) for c in sorted(os.sched_getaffinity(0)))))
    print(own_work_table(results))
    print("whole script: %.0f s" % (time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
