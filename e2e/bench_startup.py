"""The uninstaller's own work under Wine against the cost of starting a process.

In one Windows XP prefix, with one persistent wineserver, it alternates a quiet run of
dist/K440dTUn.exe on the planted NT driver set (planted afresh before each run, untimed) with
a run of a program that only starts and exits (build/win/e2e-tools/empty_program.exe), and
reports the medians: the uninstaller's own work is its run less the empty program's run.

    python3 e2e/bench_startup.py            # K440_BENCH_RUNS (default 7) pairs of runs

Not a CTest case: the figures depend on the machine; the goal is own work / start-up < 0.5.
"""
import os
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import ROOT, HarnessError, Prefix  # noqa: E402

FIXTURE = os.path.join(ROOT, "e2e", "fixtures", "nt-driver-set")
EMPTY_EXE = os.path.join(ROOT, "build", "win", "e2e-tools", "empty_program.exe")
EMPTY_WINDOWS_PATH = "C:\\e2e-tools\\empty_program.exe"


def timed(prefix, exe, args, expected_code):
    result = prefix.run(exe, args, timeout=60)
    if result.timed_out or result.code != expected_code:
        raise HarnessError("%s %s ended with %r, expected code %d"
                           % (exe, " ".join(args), result.code, expected_code))
    return result.seconds


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
    product = statistics.median(product_times)
    empty = statistics.median(empty_times)
    own = product - empty
    print("runs: %d pairs" % runs)
    print("quiet run of the uninstaller: median %.3f s (%s)"
          % (product, " ".join("%.3f" % t for t in product_times)))
    print("empty program:                median %.3f s (%s)"
          % (empty, " ".join("%.3f" % t for t in empty_times)))
    print("own work: %.3f s = %.2f of a process start (goal: below 0.50)" % (own, own / empty))
    return 0 if own / empty < 0.5 else 1


if __name__ == "__main__":
    sys.exit(main())
