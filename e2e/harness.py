"""End-to-end harness: runs the real dist/K440dTUn.exe in a throw-away 32-bit Wine prefix.

A case looks like this:

    from harness import Prefix, check_equal

    with Prefix("quiet_bogus", version="winxp") as p:
        p.plant("tests/fixtures/nt-driver-set")        # registry.reg + files.txt
        exe = p.install_product()                       # C:\\Program Files\\halvenor\\K440dT\\...
        before = p.snapshot()
        result = p.run(exe, ["-quiet", "-bogus"])
        check_equal(8, result.code, "exit code of -quiet -bogus")
        diff = before.diff(p.snapshot())

Everything here is the Python 3 standard library; the parts live in e2e/harnesslib by concern
and this module gathers the names the cases use. Each Prefix is a copy of one booted template
prefix (built once per build tree under <build>/e2e-cache, guarded by a lock file) with its own
Xvfb display, so message boxes never block and cases can run in parallel. The prefix is removed
afterwards unless K440_E2E_KEEP=1.

Environment:
    K440_E2E_CACHE   folder of the template and the case prefixes (default build/host/e2e-cache)
    K440_E2E_KEEP=1  keep each case's prefix (its path is printed)
    K440_E2E_TRACE=1 print every Wine command the harness runs
"""

import sys
import time

from harnesslib.dos_attributes import (DIRECTORY, HIDDEN, READONLY, SYSTEM,  # noqa: F401
                                       attribute_letters, dos_attributes, set_dos_attributes)
from harnesslib.errors import CheckFailed, HarnessError, NoThirtyTwoBitCode  # noqa: F401
from harnesslib.errors import trace as _trace  # noqa: F401
from harnesslib.expected_removals import read_expected_removals  # noqa: F401
from harnesslib.file_list import DIGEST_LIMIT, FileEntry, list_files, read_file_list  # noqa: F401
from harnesslib.prefix import Prefix  # noqa: F401
from harnesslib.registry_files import (REG_BINARY, REG_DWORD, REG_EXPAND_SZ,  # noqa: F401
                                       REG_MULTI_SZ, REG_SZ, RegKey, parse_reg_file,
                                       parse_wine_registry)
from harnesslib.runner import SKIPPED_EXIT_CODE, case, check, check_equal, main  # noqa: F401
from harnesslib.runner import _CASES  # noqa: F401
from harnesslib.snapshots import (WINE_CHURN_FILES, WINE_CHURN_KEYS,  # noqa: F401
                                  WINE_CHURN_VALUES, Diff, Snapshot)
from harnesslib.wine import (DEFAULT_INSTALL_DIR, EXIT_CODES, PRODUCT_EXE, ROOT,  # noqa: F401
                             TEMPLATE_STAMP, VERSIONS, WINTOOL_EXE, WINTOOL_WINDOWS_PATH,
                             Launched, cache_dir, ensure_template, require_thirty_two_bit_code,
                             western_locale)
from harnesslib.wine import base_env as _base_env  # noqa: F401
from harnesslib.wine import kill_server as _kill_server  # noqa: F401
from harnesslib.wine import make_writable as _make_writable  # noqa: F401
from harnesslib.wine import run_command as _run  # noqa: F401
from harnesslib.wintool import Box, Control, Result, decode_ansi, parse_wintool_output  # noqa: F401


if __name__ == "__main__":
    # `harness.py --template` builds the template prefix (the CTest fixture e2e.template).
    if sys.argv[1:] == ["--template"]:
        started = time.time()
        try:
            require_thirty_two_bit_code()
        except NoThirtyTwoBitCode as e:
            print("template prefix: SKIPPED: %s" % e)
            sys.exit(SKIPPED_EXIT_CODE)
        print("template prefix: %s (ready in %.1f s)" % (ensure_template(), time.time() - started))
    else:
        print("usage: harness.py --template")
        sys.exit(2)
