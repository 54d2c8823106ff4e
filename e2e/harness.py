"""End-to-end harness: runs the real dist/K440dTUn.exe in a throw-away 32-bit Wine prefix.

A case looks like this:

    from harness import Prefix, check_equal

    with Prefix("quiet_bogus", version="winxp") as p:
        p.plant("e2e/fixtures/nt-driver-set")          # registry.reg + files.txt
        exe = p.install_product()                       # C:\\Program Files\\halvenor\\K440dT\\...
        before = p.snapshot()
        result = p.run(exe, ["-quiet", "-bogus"])
        check_equal(8, result.code, "exit code of -quiet -bogus")
        diff = before.diff(p.snapshot())

Everything here is the Python 3 standard library. Each Prefix is a copy of one booted template
prefix (built once per build tree under <build>/e2e-cache, guarded by a lock file) with its own
Xvfb display, so message boxes never block and cases can run in parallel. The prefix is removed
afterwards unless K440_E2E_KEEP=1.

Environment:
    K440_E2E_CACHE   folder of the template and the case prefixes (default build/host/e2e-cache)
    K440_E2E_KEEP=1  keep each case's prefix (its path is printed)
    K440_E2E_TRACE=1 print every Wine command the harness runs
"""

import contextlib
import errno
import fcntl
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PRODUCT_EXE = os.path.join(ROOT, "dist", "K440dTUn.exe")
WINTOOL_EXE = os.path.join(ROOT, "build", "win", "e2e-tools", "wintool.exe")
DEFAULT_INSTALL_DIR = "C:\\Program Files\\halvenor\\K440dT"
WINTOOL_WINDOWS_PATH = "C:\\e2e-tools\\wintool.exe"

VERSIONS = ("win95", "win98", "winme", "nt40", "win2k", "winxp", "win2003", "win7")

# The exit codes of the product and what they mean.
EXIT_CODES = {
    0: "success, or nothing to do",
    2: "the run succeeded and a restart is needed",
    3: "cancelled by the user",
    4: "another instance is running",
    8: "a switch that is not known, or a command line that is too long",
    9: "the operating system is not supported",
    10: "-ensure_win named another Windows, or a word it does not know",
    11: "-before_rebooting could not arrange the run after the restart",
    12: "no installed driver of the product was found",
    13: "not a member of the Administrators group",
    14: "a handset is attached",
}

TEMPLATE_STAMP = "k440-template-v2"


class HarnessError(Exception):
    """The harness itself could not do what a case asked (not a product failure)."""


class CheckFailed(AssertionError):
    pass


class NoThirtyTwoBitCode(HarnessError):
    """This machine's kernel does not execute 32-bit x86 programs, so 32-bit Wine cannot run
    here at all; the cases are skipped (CTest's SKIP_RETURN_CODE), not failed."""


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


def _trace(*words):
    if os.environ.get("K440_E2E_TRACE") == "1":
        print("[e2e] " + " ".join(str(w) for w in words), flush=True)


# ---------------------------------------------------------------------------------------------
# The booted template prefix, built once per build tree.

def cache_dir():
    return os.environ.get("K440_E2E_CACHE") or os.path.join(ROOT, "build", "host", "e2e-cache")


def _base_env(prefix, display=None, lang=None):
    env = dict(os.environ)
    env.update({
        "WINEPREFIX": prefix,
        "WINEARCH": "win32",
        "WINEDEBUG": "-all",
        # No Mono/Gecko install prompts.
        "WINEDLLOVERRIDES": "mscoree,mshtml=",
    })
    env.pop("WINELOADER", None)
    if display:
        env["DISPLAY"] = display
    else:
        env.pop("DISPLAY", None)
    if lang:
        env["LANG"] = lang
        env["LC_ALL"] = lang
    return env


class Launched:
    """A started command whose output goes to temporary files, not pipes: Wine's own
    processes (wineserver, services.exe, explorer.exe) that a command starts inherit its
    output and outlive it, so a pipe would not reach its end when the command does."""

    def __init__(self, argv, env, cwd=None):
        _trace(*argv)
        self.argv = argv
        self._out = tempfile.TemporaryFile()
        self._err = tempfile.TemporaryFile()
        self.process = subprocess.Popen(argv, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                                        stdout=self._out, stderr=self._err,
                                        start_new_session=True)
        self.returncode = None
        self.timed_out = False
        self.stdout = self.stderr = b""

    def wait(self, timeout):
        """Waits for the command; kills it after the timeout (returncode None, timed_out)."""
        try:
            self.returncode = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.process.wait()
            self.timed_out = True
        for f, attr in ((self._out, "stdout"), (self._err, "stderr")):
            f.seek(0)
            setattr(self, attr, f.read())
            f.close()
        return self


def _run(argv, env, timeout, cwd=None, check_rc=True):
    done = Launched(argv, env, cwd).wait(timeout)
    if done.timed_out:
        raise HarnessError("timed out after %ss: %s" % (timeout, " ".join(argv)))
    if check_rc and done.returncode != 0:
        raise HarnessError("%s exited %d: %s" % (" ".join(argv), done.returncode,
                                                 done.stderr.decode("utf-8", "replace")[-2000:]))
    return done


def _kill_server(env):
    subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=30)


# The smallest i386 Linux program: one program header mapping the file, then
# `mov eax, 1; xor ebx, ebx; int 0x80` (exit(0)).
_EXIT_ZERO_I386 = (
    b"\x7fELF\x01\x01\x01" + b"\x00" * 9
    + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, 0x08048054, 52, 0, 0, 52, 32, 1, 0, 0, 0)
    + struct.pack("<IIIIIIII", 1, 0, 0x08048000, 0x08048000, 93, 93, 5, 0x1000)
    + b"\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80")


def require_thirty_two_bit_code():
    """Raises NoThirtyTwoBitCode when the kernel refuses 32-bit x86 programs (a kernel built
    or booted without IA-32 emulation, or a hypervisor that has no 32-bit user mode)."""
    with tempfile.TemporaryDirectory(prefix="k440-i386-probe-") as folder:
        probe = os.path.join(folder, "exit-zero")
        with open(probe, "wb") as f:
            f.write(_EXIT_ZERO_I386)
        os.chmod(probe, 0o755)
        try:
            code = subprocess.run([probe], timeout=30).returncode
        except OSError as e:
            if e.errno == errno.ENOEXEC:
                raise NoThirtyTwoBitCode(
                    "this machine's kernel does not execute 32-bit x86 programs "
                    "(exec of an i386 ELF program: %s), so 32-bit Wine cannot run here"
                    % os.strerror(e.errno))
            raise
    if code != 0:
        raise NoThirtyTwoBitCode("an i386 program that only exits ended with %d on this machine"
                                 % code)


def ensure_template():
    """The path of the booted template prefix; builds it the first time (under a lock, so two
    cases started together build it once)."""
    require_thirty_two_bit_code()
    cache = cache_dir()
    os.makedirs(cache, exist_ok=True)
    template = os.path.join(cache, "template")
    stamp = os.path.join(template, TEMPLATE_STAMP)
    with open(os.path.join(cache, "template.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(stamp):
            return template
        shutil.rmtree(template, ignore_errors=True)
        building = tempfile.mkdtemp(prefix="template-building-", dir=cache)
        env = _base_env(building)
        started = time.time()
        _run(["wineboot", "-i"], env, timeout=300)
        # A crash must end the program, not wait on the crash dialog.
        _run(["wine", "reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog",
              "/t", "REG_DWORD", "/d", "0", "/f"], env, timeout=60)
        # A virtual desktop: Wine is the window manager, as Windows is. On a bare Xvfb display
        # each X window that goes away would otherwise wait 2 s for a window manager that is
        # not there ("wait_for_withdrawn_state ... timed out"), and focus and activation
        # follow Windows' rules rather than an X window manager's.
        _run(["wine", "reg", "add", "HKCU\\Software\\Wine\\Explorer", "/v", "Desktop",
              "/d", "Default", "/f"], env, timeout=60)
        _run(["wine", "reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v",
              "Default", "/d", "1024x768", "/f"], env, timeout=60)
        _kill_server(env)
        subprocess.run(["wineserver", "-w"], env=env, timeout=60)
        open(os.path.join(building, TEMPLATE_STAMP), "w").close()
        os.rename(building, template)
        _trace("template built in %.1f s" % (time.time() - started))
        return template


# ---------------------------------------------------------------------------------------------
# Results and windows.

class Box:
    """One dialog or message box as wintool saw it."""

    def __init__(self, hwnd, window_class, pid):
        self.hwnd = hwnd
        self.window_class = window_class
        self.pid = pid
        self.caption_bytes = b""
        self.controls = []      # Control records in the dialog's order
        self.default_id = -1
        self.answer = None      # (how, id) when the watcher answered it

    @property
    def caption(self):
        return decode_ansi(self.caption_bytes)

    def control(self, control_id):
        for c in self.controls:
            if c.id == control_id:
                return c
        return None

    @property
    def text_bytes(self):
        """The message text of a message box: its static control 0xFFFF."""
        c = self.control(0xFFFF)
        return c.text_bytes if c else b""

    @property
    def text(self):
        return decode_ansi(self.text_bytes)

    def __repr__(self):
        return "Box(caption=%r, text=%r, controls=%r)" % (self.caption, self.text, self.controls)


class Control:
    def __init__(self, control_id, window_class, visible, enabled, text_bytes):
        self.id = control_id
        self.window_class = window_class
        self.visible = visible
        self.enabled = enabled
        self.text_bytes = text_bytes

    @property
    def text(self):
        return decode_ansi(self.text_bytes)

    def __repr__(self):
        return "Control(%d, %s, %r%s)" % (self.id, self.window_class, self.text,
                                          "" if self.visible else ", hidden")


def decode_ansi(data):
    return data.decode("cp932", "replace")


def parse_wintool_output(text):
    """(boxes, exit_code or None, timed_out) from wintool's records."""
    boxes, code, timed_out = [], None, False
    current = None
    by_hwnd = {}
    for line in text.splitlines():
        f = line.split("\t")
        kind = f[0]
        if kind == "window":
            current = Box(f[1], f[2], int(f[3]))
            boxes.append(current)
            by_hwnd[f[1]] = current
        elif kind == "caption" and current:
            current.caption_bytes = bytes.fromhex(f[1])
        elif kind == "control" and current:
            current.controls.append(Control(int(f[1]), f[2], f[3] == "visible",
                                            f[4] == "enabled", bytes.fromhex(f[5])))
        elif kind == "default" and current:
            current.default_id = int(f[1])
        elif kind == "end":
            current = None
        elif kind == "answer" and f[1] in by_hwnd:
            by_hwnd[f[1]].answer = (f[2], int(f[3]))
        elif kind == "exit":
            code = int(f[1])
        elif kind == "timeout":
            timed_out = True
    return boxes, code, timed_out


class Result:
    def __init__(self, code, timed_out, stdout, stderr, boxes=None, seconds=0.0):
        self.code = code
        self.timed_out = timed_out
        self.stdout = stdout
        self.stderr = stderr
        self.boxes = boxes or []
        self.seconds = seconds

    def __repr__(self):
        return "Result(code=%r, timed_out=%r, boxes=%r)" % (self.code, self.timed_out, self.boxes)


# ---------------------------------------------------------------------------------------------
# One case's prefix.

class Prefix:
    """A throw-away Wine prefix copied from the template, with its own Xvfb display.

    version: Wine's Windows version for the prefix (VERSIONS), set in HKCU\\Software\\Wine.
    lang:    the locale the programs run in; "ja_JP.UTF-8" makes the ANSI code page 932
             (fixtures are imported in the same locale, so CP932 texts arrive intact).
    """

    def __init__(self, name, version="winxp", lang="ja_JP.UTF-8"):
        if version not in VERSIONS:
            raise HarnessError("unknown Windows version %r (one of %s)" % (version, VERSIONS))
        self.name = re.sub(r"[^A-Za-z0-9_.-]", "_", name)
        self.version = version
        self.lang = lang
        self.path = None
        self.display = None
        self._xvfb = None
        self._held = []         # Windows paths of planted files that are in use
        self._holder = None
        self._server_up = False

    # -- set-up and tear-down ---------------------------------------------------------------

    def __enter__(self):
        template = ensure_template()
        cases = os.path.join(cache_dir(), "cases")
        os.makedirs(cases, exist_ok=True)
        self.path = tempfile.mkdtemp(prefix=self.name + "-", dir=cases)
        os.rmdir(self.path)
        try:
            _run(["cp", "-a", template, self.path], dict(os.environ), timeout=300)
            self._start_xvfb()
            self._install_wintool()
            self.set_version(self.version)
        except BaseException:
            self.close()  # __exit__ does not run when __enter__ fails
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        self.release_held()
        if self.path:
            _kill_server(self._env())
        self._server_up = False
        if self._xvfb:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
            self._xvfb = None
        if self.path and os.environ.get("K440_E2E_KEEP") != "1":
            _make_writable(self.path)
            shutil.rmtree(self.path, ignore_errors=True)
        elif self.path:
            print("[e2e] kept prefix %s; look into it with WINEPREFIX=%s WINEARCH=win32 wine ..."
                  % (self.path, self.path))
        self.path = None

    def _start_xvfb(self):
        read_end, write_end = os.pipe()
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten",
             "tcp", "-noreset"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.time() + 30
        while not number.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            raise HarnessError("Xvfb did not start")
        self.display = ":" + number.decode().strip()

    def env(self):
        """The environment of the prefix's programs; starts the prefix's wineserver first if
        it is not running."""
        if not self._server_up:
            # Started on its own with no inherited pipes: a server that a wine command starts
            # keeps that command's stdout open, and a reader then waits for the server to go
            # away (3 s after the last program). Persistent until kill_server().
            subprocess.run(["wineserver", "-p"], env=self._env(), stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
            self._server_up = True
        return self._env()

    def _env(self):
        return _base_env(self.path, self.display, self.lang)

    # -- paths ------------------------------------------------------------------------------

    @property
    def drive_c(self):
        return os.path.join(self.path, "drive_c")

    def host_path(self, windows_path):
        """C:\\WINDOWS\\inf\\x.inf -> <prefix>/drive_c/windows/inf/x.inf: follows the case of
        the names that already exist (as Wine finds them), keeps the given case for the rest."""
        m = re.match(r"^[Cc]:\\?(.*)$", windows_path)
        if not m:
            raise HarnessError("not a path on drive C: %r" % windows_path)
        here = self.drive_c
        for part in [p for p in m.group(1).split("\\") if p]:
            match = None
            if os.path.isdir(here):
                for entry in os.listdir(here):
                    if entry.lower() == part.lower():
                        match = entry
                        break
            here = os.path.join(here, match or part)
        return here

    # -- Wine commands ----------------------------------------------------------------------

    def wine(self, args, timeout=60, check_rc=True, cwd=None):
        return _run(["wine"] + list(args), self.env(), timeout=timeout, check_rc=check_rc,
                    cwd=cwd)

    def kill_server(self):
        """Ends the prefix's wineserver (and every program still running in it); it writes
        the registry to system.reg/user.reg first."""
        _kill_server(self._env())
        self._server_up = False

    def set_version(self, version):
        if version not in VERSIONS:
            raise HarnessError("unknown Windows version %r" % version)
        self.wine(["reg", "add", "HKCU\\Software\\Wine", "/v", "Version", "/d", version, "/f"])
        self.version = version

    def import_reg(self, reg_file):
        """Imports a .reg file (REGEDIT4 or version 5.00) with regedit /S."""
        local = os.path.join(self.drive_c, "e2e-import.reg")
        shutil.copyfile(reg_file, local)
        self.wine(["regedit", "/S", "C:\\e2e-import.reg"])
        os.remove(local)

    def plant(self, fixture_dir):
        """Plants a machine fixture: <dir>/registry.reg and <dir>/files.txt, each if present.
        Returns the list of planted file entries (attributes, windows path)."""
        planted = []
        reg = os.path.join(fixture_dir, "registry.reg")
        if os.path.exists(reg):
            self.import_reg(reg)
        files = os.path.join(fixture_dir, "files.txt")
        if os.path.exists(files):
            planted = self.plant_files(files)
        return planted

    def plant_files(self, list_file):
        """Plants the files of a file list (the host simulation's format):
        <attributes>\\t<path>[\\t<content>], attributes "-" or R H S D U, content with \\n \\t
        escapes or "@name" for a file beside the list."""
        entries = read_file_list(list_file)
        for e in entries:
            target = self.host_path(e.path)
            if e.folder:
                os.makedirs(target, exist_ok=True)
            else:
                os.makedirs(os.path.dirname(target), exist_ok=True)
                if os.path.exists(target):
                    _make_writable(target)
                with open(target, "wb") as out:
                    out.write(e.content)
            set_dos_attributes(target, e.attributes)
            if e.in_use:
                self._held.append(e.path)
        return entries

    def exists(self, windows_path):
        return os.path.lexists(self.host_path(windows_path))

    def copy_in(self, host_file, windows_path):
        target = self.host_path(windows_path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(host_file, target)
        return windows_path

    def install_product(self, folder=DEFAULT_INSTALL_DIR, name="K440dTUn.exe"):
        """Copies dist/K440dTUn.exe into the prefix; returns its Windows path."""
        if not os.path.exists(PRODUCT_EXE):
            raise HarnessError("%s is missing: build the Windows build first" % PRODUCT_EXE)
        return self.copy_in(PRODUCT_EXE, folder.rstrip("\\") + "\\" + name)

    def _install_wintool(self):
        if not os.path.exists(WINTOOL_EXE):
            raise HarnessError("%s is missing: build the Windows build first" % WINTOOL_EXE)
        target = self.host_path(WINTOOL_WINDOWS_PATH)
        if not os.path.exists(target):
            self.copy_in(WINTOOL_EXE, WINTOOL_WINDOWS_PATH)
        return WINTOOL_WINDOWS_PATH

    # -- in-use files -----------------------------------------------------------------------

    def hold_planted(self):
        """Keeps the planted "U" files open without delete sharing (in use) until
        release_held(). The run methods do this by themselves."""
        if not self._held or self._holder:
            return
        tool = self._install_wintool()
        argv = ["wine", tool, "hold"] + self._held
        _trace(*argv)
        self._holder = subprocess.Popen(argv, env=self.env(), stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        line = self._holder.stdout.readline().decode("utf-8", "replace")
        if not line.startswith("held"):
            err = self._holder.stderr.read().decode("utf-8", "replace")
            raise HarnessError("could not hold the in-use files: %s %s" % (line, err))

    def release_held(self):
        if self._holder:
            self._holder.stdin.close()
            try:
                self._holder.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self._holder.kill()
            self._holder = None

    # -- running programs -------------------------------------------------------------------

    def run(self, exe, args=(), timeout=60):
        """Runs a Windows program (by its path in the prefix) with arguments, from its own
        folder, and returns a Result with its exit code. A box it shows stays until the
        timeout (then the program is killed and code is None): use run_watched for runs that
        may show one."""
        self.hold_planted()
        cwd = os.path.dirname(self.host_path(exe)) if re.match(r"^[Cc]:", exe) else None
        started = time.time()
        try:
            done = Launched(["wine", exe] + list(args), self.env(), cwd).wait(timeout)
        finally:
            self.release_held()
        if done.timed_out:
            self.kill_server()
        return Result(done.returncode, done.timed_out, done.stdout, done.stderr,
                      seconds=time.time() - started)

    def run_watched(self, exe, args=(), timeout=60, answer="default"):
        """Runs the program while wintool records every dialog and message box it shows and
        answers each (answer: "default" button, "escape", "close", "none" or a control id).
        Returns a Result with the exit code and the boxes in the order they appeared."""
        self.hold_planted()
        tool = self._install_wintool()
        argv = ["wine", tool, "watch", "-t", str(int(timeout * 1000)), "-a", str(answer), "--",
                exe] + list(args)
        started = time.time()
        try:
            done = Launched(argv, self.env()).wait(timeout + 30)
        finally:
            self.release_held()
        if done.timed_out:
            self.kill_server()
            raise HarnessError("wintool watch did not end")
        text = done.stdout.decode("latin-1")
        boxes, code, timed_out = parse_wintool_output(text)
        if code is None and not timed_out:
            raise HarnessError("wintool watch failed (%d): %s" % (
                done.returncode, done.stderr.decode("utf-8", "replace")))
        return Result(code, timed_out, done.stdout, done.stderr, boxes, time.time() - started)

    def start(self, exe, args=()):
        """Starts the program and returns at once, for a case that scripts its windows with
        wait_box/click/escape/close; finish with finish(process)."""
        self.hold_planted()
        cwd = os.path.dirname(self.host_path(exe)) if re.match(r"^[Cc]:", exe) else None
        return Launched(["wine", exe] + list(args), self.env(), cwd)

    def finish(self, launched, timeout=30):
        """Waits for a started program; returns its Result (code None after a timeout, when
        the program is killed)."""
        started = time.time()
        try:
            done = launched.wait(timeout)
        finally:
            self.release_held()
        if done.timed_out:
            self.kill_server()
        return Result(done.returncode, done.timed_out, done.stdout, done.stderr,
                      seconds=time.time() - started)

    def tool(self, args, timeout=30):
        """Runs wintool with arguments; returns its stdout records as text."""
        tool = self._install_wintool()
        done = _run(["wine", tool] + [str(a) for a in args], self.env(), timeout=timeout,
                    check_rc=False)
        if done.returncode not in (0, 3):
            raise HarnessError("wintool %s failed (%d): %s" % (
                " ".join(str(a) for a in args), done.returncode,
                done.stderr.decode("utf-8", "replace")))
        return done.stdout.decode("latin-1")

    def wait_box(self, timeout=10, window_class="#32770"):
        """Waits for a visible top-level window of the class; returns its Box or None."""
        boxes, _, _ = parse_wintool_output(
            self.tool(["wait", "-t", int(timeout * 1000), "-c", window_class], timeout + 20))
        return boxes[0] if boxes else None

    def boxes(self, window_class="#32770"):
        boxes, _, _ = parse_wintool_output(self.tool(["dump", "-c", window_class]))
        return boxes

    def click(self, box, control_id):
        """Presses the button with BM_CLICK, as a mouse click does."""
        self.tool(["click", "-w", box.hwnd, control_id])

    def command(self, box, control_id):
        """Sends WM_COMMAND(id, BN_CLICKED) to the dialog."""
        self.tool(["command", "-w", box.hwnd, control_id])

    def escape(self, box):
        self.tool(["escape", "-w", box.hwnd])

    def close_box(self, box):
        self.tool(["close", "-w", box.hwnd])

    def restart(self, timeout=120):
        """A restart: wineboot -r carries out PendingFileRenameOperations, wininit.ini's
        [rename] section and RunOnce. In-use files are no longer in use afterwards."""
        self.release_held()
        self._held = []
        self.wine(["wineboot", "-r"], timeout=timeout)

    # -- snapshots --------------------------------------------------------------------------

    def settle(self):
        """Waits until Wine has set up the desktop and the display devices (it rewrites their
        registry keys whenever a wineserver starts); ending the server in the middle of that
        would save a half-written registry."""
        self.tool(["desktop"])

    def snapshot(self):
        """The registry (HKLM and HKCU, from system.reg/user.reg after ending the
        wineserver, which writes them) and every file and folder of drive_c."""
        self.release_held()
        if self._server_up:
            self.settle()
        self.kill_server()
        registry = {}
        registry.update(parse_wine_registry(os.path.join(self.path, "system.reg"),
                                            "HKEY_LOCAL_MACHINE"))
        registry.update(parse_wine_registry(os.path.join(self.path, "user.reg"),
                                            "HKEY_CURRENT_USER"))
        return Snapshot(registry, list_files(self.drive_c))


def _make_writable(path):
    for here, dirs, files in os.walk(path):
        for n in dirs + files:
            p = os.path.join(here, n)
            try:
                if not os.path.islink(p):
                    os.chmod(p, os.stat(p).st_mode | 0o200)
            except OSError:
                pass


# ---------------------------------------------------------------------------------------------
# File attributes as Wine keeps them: read-only is a file without write permission; hidden and
# system are the user.DOSATTRIB extended attribute ("0x2", "0x6", ...).

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


class FileEntry:
    def __init__(self, attributes, path, content, folder, in_use):
        self.attributes = attributes
        self.path = path
        self.content = content
        self.folder = folder
        self.in_use = in_use


def _unescape(text):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            i += 1
            c = {"n": "\n", "t": "\t", "r": "\r"}.get(text[i], text[i])
        out.append(c)
        i += 1
    return "".join(out)


def read_file_list(list_file):
    """The entries of a files.txt (see Prefix.plant_files)."""
    entries = []
    here = os.path.dirname(list_file)
    with open(list_file, "rb") as f:
        raw_lines = f.read().split(b"\n")
    for number, raw in enumerate(raw_lines, 1):
        raw = raw.rstrip(b"\r")
        if not raw or raw.startswith(b"#"):
            continue
        fields = raw.split(b"\t")
        if len(fields) < 2:
            raise HarnessError("%s:%d: bad file line %r" % (list_file, number, raw))
        attrs = fields[0].decode("ascii")
        path = fields[1].decode("cp932")
        content = b""
        if len(fields) > 2 and fields[2]:
            text = b"\t".join(fields[2:])
            if text.startswith(b"@"):
                with open(os.path.join(here, text[1:].decode("utf-8")), "rb") as c:
                    content = c.read()
            else:
                content = _unescape(text.decode("latin-1")).encode("latin-1")
        entries.append(FileEntry(attrs, path, content, "D" in attrs, "U" in attrs))
    return entries


DIGEST_LIMIT = 1 << 20


def list_files(drive_c):
    """{lower-case Windows path: (attribute letters, size, content)} of every file and folder
    under drive_c (symbolic links are not followed). content is a digest for files up to 1 MB
    and the modification time for larger ones (Wine's own DLLs; hashing them would double the
    time of a snapshot); None for folders."""
    import hashlib
    out = {}
    for here, dirs, files in os.walk(drive_c):
        rel = os.path.relpath(here, drive_c)
        base = "C:" if rel == "." else "C:\\" + rel.replace("/", "\\")
        for n in sorted(dirs + files):
            p = os.path.join(here, n)
            st = os.lstat(p)
            key = (base + "\\" + n).lower()
            if os.path.islink(p):
                out[key] = ("L", 0, os.readlink(p))
            elif os.path.isdir(p):
                out[key] = (attribute_letters(dos_attributes(p, st)), 0, None)
            else:
                if st.st_size <= DIGEST_LIMIT:
                    with open(p, "rb") as f:
                        content = hashlib.sha1(f.read()).hexdigest()
                else:
                    content = "mtime:%d" % st.st_mtime_ns
                out[key] = (attribute_letters(dos_attributes(p, st)), st.st_size, content)
        dirs[:] = [d for d in dirs if not os.path.islink(os.path.join(here, d))]
    return out


# ---------------------------------------------------------------------------------------------
# Registry: Wine's system.reg/user.reg and .reg files, in one shape:
#   {lower-case key path: RegKey(name, {lower-case value name: (name, type, data)})}
# Strings (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are Python str without the final terminator
# (a multi-string keeps its inner "\0" separators); DWORDs int; everything else bytes.

REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ = 1, 2, 3, 4, 7


class RegKey:
    def __init__(self, name):
        self.name = name
        self.values = {}

    def __repr__(self):
        return "RegKey(%r, %r)" % (self.name, self.values)


def _wine_unquote(s, pos):
    """Reads a quoted string of Wine's registry files from s[pos] == '"'; returns (text,
    position after it). Wine writes \\\\, \\", \\n, \\r, \\t, \\0 and \\x<up to 4 hex>."""
    assert s[pos] == '"'
    out, i = [], pos + 1
    while i < len(s):
        c = s[i]
        if c == '"':
            return "".join(out), i + 1
        if c == "\\" and i + 1 < len(s):
            i += 1
            c = s[i]
            if c == "x":
                m = re.match(r"[0-9a-fA-F]{1,4}", s[i + 1:])
                out.append(chr(int(m.group(0), 16)))
                i += 1 + len(m.group(0))
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(c, c))
        else:
            out.append(c)
        i += 1
    raise HarnessError("unterminated string in registry line %r" % s)


def _strip_terminator(text):
    return text[:-1] if text.endswith("\0") else text


def _decode_typed_hex(value_type, data):
    """Binary data of a string type as Wine stores it (UTF-16LE) to str; others stay bytes."""
    if value_type in (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) and len(data) % 2 == 0:
        return _strip_terminator(data.decode("utf-16-le", "replace"))
    if value_type == REG_DWORD and len(data) == 4:
        return int.from_bytes(data, "little")
    return data


def _joined_lines(path, encoding):
    with open(path, "rb") as f:
        raw = f.read()
    if raw.startswith(b"\xff\xfe"):
        text = raw[2:].decode("utf-16-le")
    else:
        text = raw.decode(encoding, "replace")
    lines, current = [], ""
    for line in text.splitlines():
        current += line.strip() if current else line
        if current.endswith("\\") and re.search(r"=\s*hex", current):
            current = current[:-1]
            continue
        lines.append(current)
        current = ""
    if current:
        lines.append(current)
    return lines


def parse_wine_registry(path, root):
    """Keys and values of a Wine registry file (system.reg, user.reg)."""
    keys = {}
    key = None
    for line in _joined_lines(path, "utf-8"):
        if not line or line.startswith(";") or line.startswith("#"):
            continue
        if line.startswith("["):
            name, _ = _wine_unquote('"' + line[1:line.rindex("]")].replace('"', '\\"') + '"', 0)
            full = root + "\\" + name
            # Wine writes only keys with values or without subkeys; the keys between are
            # implied.
            parts = full.split("\\")
            for n in range(2, len(parts)):
                parent = "\\".join(parts[:n])
                keys.setdefault(parent.lower(), RegKey(parent))
            key = keys.setdefault(full.lower(), RegKey(full))
            continue
        if key is None:
            continue
        if line.startswith("@="):
            name, rest = "", line[2:]
        elif line.startswith('"'):
            name, after = _wine_unquote(line, 0)
            rest = line[after:].lstrip()
            if not rest.startswith("="):
                continue
            rest = rest[1:]
        else:
            continue
        key.values[name.lower()] = (name,) + _parse_wine_data(rest)
    return keys


def _parse_wine_data(rest):
    if rest.startswith('"'):
        return REG_SZ, _wine_unquote(rest, 0)[0]
    m = re.match(r"str\((\d+)\):", rest)
    if m:
        t = int(m.group(1))
        # Wine leaves out the final terminator of a string type when it writes one.
        return t, _wine_unquote(rest, m.end())[0]
    if rest.startswith("dword:"):
        return REG_DWORD, int(rest[6:], 16)
    m = re.match(r"hex(?:\(([0-9a-fA-F]+)\))?:(.*)$", rest)
    if m:
        t = int(m.group(1), 16) if m.group(1) else REG_BINARY
        data = bytes(int(b, 16) for b in m.group(2).replace(" ", "").split(",") if b)
        return t, _decode_typed_hex(t, data) if t != REG_BINARY else data
    raise HarnessError("unknown registry data %r" % rest)


def parse_reg_file(path, code_page="cp932"):
    """Keys and values of a .reg file (REGEDIT4 in the ANSI code page, or version 5.00), in the
    same shape as parse_wine_registry, for comparing a fixture with a snapshot."""
    lines = _joined_lines(path, code_page)
    unicode = any("Windows Registry Editor Version 5.00" in l for l in lines[:3])
    keys = {}
    key = None
    for line in lines[1:]:
        line = line.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("["):
            name = line[1:line.rindex("]")]
            if name.startswith("-"):
                for k in [k for k in keys if k == name[1:].lower() or
                          k.startswith(name[1:].lower() + "\\")]:
                    del keys[k]
                key = None
                continue
            name = _normalise_root(name)
            # Creating a key creates its parents.
            parts = name.split("\\")
            for n in range(2, len(parts) + 1):
                parent = "\\".join(parts[:n])
                keys.setdefault(parent.lower(), RegKey(parent))
            key = keys[name.lower()]
            continue
        if key is None:
            continue
        if line.startswith("@"):
            name, rest = "", line[1:].lstrip()
        else:
            m = re.match(r'"((?:[^"\\]|\\.)*)"\s*', line)
            name = re.sub(r"\\(.)", r"\1", m.group(1))
            rest = line[m.end():]
        rest = rest[1:].strip()  # the "="
        if rest == "-":
            key.values.pop(name.lower(), None)
            continue
        if rest.startswith('"'):
            text = re.sub(r"\\(.)", r"\1", rest[1:rest.rindex('"')])
            value = (REG_SZ, text)
        elif rest.lower().startswith("dword:"):
            value = (REG_DWORD, int(rest[6:], 16))
        else:
            m = re.match(r"hex(?:\(([0-9a-fA-F]+)\))?:(.*)$", rest, re.I)
            t = int(m.group(1), 16) if m.group(1) else REG_BINARY
            data = bytes(int(b, 16) for b in m.group(2).replace(" ", "").split(",") if b)
            if t in (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) and not unicode:
                value = (t, _strip_terminator(data.decode(code_page, "replace")))
            elif t == REG_DWORD and len(data) == 4:
                value = (t, int.from_bytes(data, "little"))
            elif t in (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ):
                value = (t, _decode_typed_hex(t, data))
            else:
                value = (t, data)
        key.values[name.lower()] = (name,) + value
    return keys


def _normalise_root(name):
    for short, full in (("HKLM", "HKEY_LOCAL_MACHINE"), ("HKCU", "HKEY_CURRENT_USER")):
        if name.upper() == short or name.upper().startswith(short + "\\"):
            return full + name[len(short):]
    return name


# ---------------------------------------------------------------------------------------------
# Snapshots and their difference.

# What Wine changes by itself between two runs of a program that does nothing; a diff leaves
# it out. Registry patterns match lower-case key paths, file patterns lower-case Windows paths.
# Measured by snapshotting around runs that change nothing (-quiet -bogus, the refused start
# on win95 with its box, wineboot -r): the only churn is the display driver's timestamp, which
# winex11 rewrites whenever a program starts. The harness's own files live in C:\e2e-tools
# (copied in before any snapshot, so they never appear as a change).
WINE_CHURN_KEYS = [
]
WINE_CHURN_VALUES = [
    r"^hkey_local_machine\\system\\currentcontrolset\\control\\class\\"
    r"\{4d36e968-e325-11ce-bfc1-08002be10318\}\\\d{4}\\driverdatedata$",
]
WINE_CHURN_FILES = [
    r"^c:\\e2e-tools(\\|$)",
]


class Diff:
    """What a run changed. Each list holds readable lines; keys/values are separate so that a
    case can check exactly the removals it expects."""

    def __init__(self):
        self.removed_keys, self.added_keys = [], []
        self.removed_values, self.added_values, self.changed_values = [], [], []
        self.removed_files, self.added_files, self.changed_files = [], [], []

    def empty(self):
        return not any(self.__dict__.values())

    def lines(self):
        out = []
        for label, items in (("key gone", self.removed_keys), ("key appeared", self.added_keys),
                             ("value gone", self.removed_values),
                             ("value appeared", self.added_values),
                             ("value changed", self.changed_values),
                             ("file gone", self.removed_files),
                             ("file appeared", self.added_files),
                             ("file changed", self.changed_files)):
            out += ["%s: %s" % (label, i) for i in items]
        return out

    def __str__(self):
        return "\n".join(self.lines()) or "(no change)"


class Snapshot:
    def __init__(self, registry, files):
        self.registry = registry
        self.files = files

    def value(self, key_path, name):
        """(type, data) of a value, or None."""
        key = self.registry.get(_normalise_root(key_path).lower())
        if not key:
            return None
        v = key.values.get(name.lower())
        return v[1:] if v else None

    def has_key(self, key_path):
        return _normalise_root(key_path).lower() in self.registry

    def file(self, windows_path):
        """(attribute letters, size, digest) of a file or folder, or None."""
        return self.files.get(windows_path.rstrip("\\").lower())

    def diff(self, after, ignore_keys=(), ignore_values=(), ignore_files=()):
        """What changed from this snapshot to `after`, leaving out Wine's own churn and the
        given extra patterns (regular expressions over lower-case paths: key paths, key
        path + "\\" + value name, Windows file paths)."""
        key_filters = [re.compile(p) for p in WINE_CHURN_KEYS + list(ignore_keys)]
        value_filters = [re.compile(p) for p in WINE_CHURN_VALUES + list(ignore_values)]
        file_filters = [re.compile(p) for p in WINE_CHURN_FILES + list(ignore_files)]
        skip_key = lambda k: any(f.search(k) for f in key_filters)
        skip_file = lambda k: any(f.search(k) for f in file_filters)
        d = Diff()
        for k in sorted(set(self.registry) | set(after.registry)):
            if skip_key(k):
                continue
            a, b = self.registry.get(k), after.registry.get(k)
            if a and not b:
                d.removed_keys.append(a.name)
                d.removed_values += ["%s\\%s = %s" % (a.name, v[0] or "@", _show(v))
                                     for v in a.values.values()]
            elif b and not a:
                d.added_keys.append(b.name)
                d.added_values += ["%s\\%s = %s" % (b.name, v[0] or "@", _show(v))
                                   for v in b.values.values()]
            else:
                for n in sorted(set(a.values) | set(b.values)):
                    if any(f.search(k + "\\" + n) for f in value_filters):
                        continue
                    va, vb = a.values.get(n), b.values.get(n)
                    if va and not vb:
                        d.removed_values.append("%s\\%s = %s" % (a.name, va[0] or "@", _show(va)))
                    elif vb and not va:
                        d.added_values.append("%s\\%s = %s" % (b.name, vb[0] or "@", _show(vb)))
                    elif va[1:] != vb[1:]:
                        d.changed_values.append("%s\\%s: %s -> %s" % (
                            a.name, va[0] or "@", _show(va), _show(vb)))
        for k in sorted(set(self.files) | set(after.files)):
            if skip_file(k):
                continue
            a, b = self.files.get(k), after.files.get(k)
            if a and not b:
                d.removed_files.append("%s [%s]" % (k, a[0]))
            elif b and not a:
                d.added_files.append("%s [%s]" % (k, b[0]))
            elif a != b:
                d.changed_files.append("%s [%s %d] -> [%s %d]" % (k, a[0], a[1], b[0], b[1]))
        return d


def _show(value):
    _, t, data = value
    names = {REG_SZ: "sz", REG_EXPAND_SZ: "expand_sz", REG_MULTI_SZ: "multi_sz",
             REG_DWORD: "dword", REG_BINARY: "binary"}
    if isinstance(data, bytes):
        return "%s:%s" % (names.get(t, "type%d" % t), data.hex(","))
    return "%s:%r" % (names.get(t, "type%d" % t), data)


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
