"""The case runner: e2e/cases/<file>.py registers cases with @case and ends with main()."""
import sys
import time

from harnesslib.errors import CheckFailed, HarnessError, NoThirtyTwoBitCode
from harnesslib.wine import require_thirty_two_bit_code

SKIPPED_EXIT_CODE = 77


# ---------------------------------------------------------------------------------------------
# Checks that say what was expected and what came instead.

def check_equal(expected, actual, what):
    if expected != actual:
        raise CheckFailed("%s: expected %r, got %r" % (what, expected, actual))


def check(condition, message):
    if not condition:
        raise CheckFailed(message)


_CASES = {}


def case(function):
    """Registers a case: e2e/cases/<file>.py defines functions decorated with @case and ends
    with `main()`. CTest runs each as e2e.<function name>."""
    _CASES[function.__name__] = function
    return function


def main(argv=None):
    """`<file>.py --list` prints the file's case names; `<file>.py NAME...` runs those cases
    (all without names), prints a verdict for each, and exits 1 if any failed."""
    argv = sys.argv[1:] if argv is None else argv
    if argv == ["--list"]:
        for name in _CASES:
            print(name)
        return
    names = argv or list(_CASES)
    try:
        require_thirty_two_bit_code()
    except NoThirtyTwoBitCode as e:
        for name in names:
            print("%s: SKIPPED: %s" % (name, e))
        sys.exit(SKIPPED_EXIT_CODE)
    failed = 0
    for name in names:
        if name not in _CASES:
            print("no case %r (cases: %s)" % (name, ", ".join(_CASES)))
            sys.exit(2)
        started = time.time()
        try:
            _CASES[name]()
            print("%s: passed in %.1f s" % (name, time.time() - started))
        except CheckFailed as e:
            failed += 1
            print("%s: FAILED: %s" % (name, e))
        except HarnessError as e:
            failed += 1
            print("%s: HARNESS ERROR: %s" % (name, e))
    sys.exit(1 if failed else 0)
