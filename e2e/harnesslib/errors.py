"""The harness's own errors, and its trace of the commands it runs."""
import os


class HarnessError(Exception):
    """The harness itself could not do what a case asked (not a product failure)."""


class CheckFailed(AssertionError):
    pass


class NoThirtyTwoBitCode(HarnessError):
    """This machine's kernel does not execute 32-bit x86 programs, so 32-bit Wine cannot run
    here at all; the cases are skipped (CTest's SKIP_RETURN_CODE), not failed."""


def trace(*words):
    if os.environ.get("K440_E2E_TRACE") == "1":
        print("[e2e] " + " ".join(str(w) for w in words), flush=True)
