"""The uninstaller's own work under Wine against the cost of starting a process.

In one Windows XP prefix, with one persistent wineserver, it alternates a quiet run of
dist/K440dTUn.exe on the planted NT driver set (planted afresh before each run, untimed) with
a run of a program that only starts and exits (build/win/e2e-tools/empty_gui.exe), and
reports the medians: the uninstaller's own work is its run less the empty program's run.

    python3 e2e/bench_startup.py            # K440_BENCH_RUNS (default 7) pairs of runs

Not a CTest case: the figures depend on the machine; the goal is own work / start-up < 0.5.
"""
import os
import resource
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import ROOT, HarnessError, Prefix  # noqa: E402

FIXTURE = os.path.join(ROOT, "tests", "fixtures", "nt-driver-set")
EMPTY_EXE = os.path.join(ROOT, "build", "win", "e2e-tools", "empty_gui.exe")
EMPTY_WINDOWS_PATH = "C:\\e2e-tools\\empty_gui.exe"


def cpu_of_children():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def timed(prefix, exe, args, expected_code):
    """(wall seconds, CPU seconds) of `wine <exe>` from start to end, run from the program's
    own folder. Wall time under Wine comes in steps of about 30 ms; the CPU time of the
    program's process is finer."""
    cwd = os.path.dirname(prefix.host_path(exe))
    env = prefix.env()
    cpu = cpu_of_children()
    started = time.perf_counter()
    code = subprocess.run(["wine", exe] + list(args), env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          timeout=60).returncode
    seconds = time.perf_counter() - started
    cpu = cpu_of_children() - cpu
    if code != expected_code:
        raise HarnessError("%s %s ended with %r, expected code %d"
                           % (exe, " ".join(args), code, expected_code))
    return seconds, cpu


def main():
    runs = int(os.environ.get("K440_BENCH_RUNS", "7"))
    if not os.path.exists(EMPTY_EXE):
        raise HarnessError("%s is missing: build the Windows build first" % EMPTY_EXE)
    product_times, empty_times = [], []
    with Prefix("bench_startup", version="winxp") as p:
        p.copy_in(EMPTY_EXE, EMPTY_WINDOWS_PATH)
        p.plant(FIXTURE)
        exe = p.install_product()
        timed(p, EMPTY_WINDOWS_PATH, [], 0)  # warm the file cache and the server
        for _ in range(runs):
            p.plant(FIXTURE)
            p.install_product()
            product_times.append(timed(p, exe, ["-quiet"], 2))
            empty_times.append(timed(p, EMPTY_WINDOWS_PATH, [], 0))
    print("runs: %d pairs" % runs)
    ratios = []
    for what, index in (("wall", 0), ("CPU", 1)):
        product = statistics.median(t[index] for t in product_times)
        empty = statistics.median(t[index] for t in empty_times)
        print("%-4s quiet run of the uninstaller: median %.3f s, mean %.3f s" % (
            what, product, statistics.mean(t[index] for t in product_times)))
        print("%-4s empty program:                median %.3f s, mean %.3f s" % (
            what, empty, statistics.mean(t[index] for t in empty_times)))
        own = product - empty
        ratios.append(own / empty)
        print("%-4s own work: %.3f s = %.2f of a process start (goal: below 0.50)"
              % (what, own, own / empty))
    return 0 if max(ratios) < 0.5 else 1

if __name__ == "__main__":
    sys.exit(main())
