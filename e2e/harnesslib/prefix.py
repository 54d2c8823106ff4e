"""One case's prefix: a copy of the template with its own Xvfb display, the fixtures planted
into it, the programs run in it and its snapshots."""
import os
import re
import shutil
import subprocess
import tempfile
import time

from harnesslib.errors import HarnessError, trace
from harnesslib.dos_attributes import set_dos_attributes
from harnesslib.file_list import list_files, read_file_list
from harnesslib.registry_files import parse_wine_registry
from harnesslib.snapshots import Snapshot
from harnesslib.wine import (DEFAULT_INSTALL_DIR, PRODUCT_EXE, VERSIONS, WINTOOL_EXE,
                             WINTOOL_WINDOWS_PATH, Launched, base_env, cache_dir,
                             ensure_template, kill_server, make_writable, run_command,
                             start_xvfb, stop_xvfb)
from harnesslib.wintool import Result, parse_wintool_output

class Prefix:
    """A throw-away Wine prefix copied from the template, with its own Xvfb display.

    version: Wine's Windows version for the prefix (VERSIONS), set in HKCU\\Software\\Wine.
    lang:    the locale the programs run in; "ja_JP.UTF-8" makes the ANSI code page 932
             (fixtures are imported in the same locale, so CP932 texts arrive intact).
    ui_lang: when given, the locale of LC_MESSAGES alone, which gives Wine the user's UI
             language (GetUserDefaultUILanguage): "ja_JP.UTF-8" beside a Western `lang` is
             a Japanese display language over code page 1252.
    """

    def __init__(self, name, version="winxp", lang="ja_JP.UTF-8", ui_lang=None):
        if version not in VERSIONS:
            raise HarnessError("unknown Windows version %r (one of %s)" % (version, VERSIONS))
        self.name = re.sub(r"[^A-Za-z0-9_.-]", "_", name)
        self.version = version
        self.lang = lang
        self.ui_lang = ui_lang
        self.path = None
        self.display = None
        self._xvfb = None
        self._held = []         # Windows paths of planted files that are in use
        self._holder = None
        self._server_up = False

    # -- set-up and tear-down ---------------------------------------------------------------

    def __enter__(self):
        template = self._template()
        cases = os.path.join(cache_dir(), "cases")
        os.makedirs(cases, exist_ok=True)
        self.path = tempfile.mkdtemp(prefix=self.name + "-", dir=cases)
        os.rmdir(self.path)
        try:
            run_command(["cp", "-a", template, self.path], dict(os.environ), timeout=300)
            self._xvfb, self.display = start_xvfb()
            self._install_wintool()
            self.set_version(self.version)
        except BaseException:
            self.close()  # __exit__ does not run when __enter__ fails
            raise
        return self

    def _template(self):
        return ensure_template()

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        self.release_held()
        if self.path:
            kill_server(self._env())
        self._server_up = False
        if self._xvfb:
            stop_xvfb(self._xvfb)
            self._xvfb = None
        if self.path and os.environ.get("K440_E2E_KEEP") != "1":
            make_writable(self.path)
            shutil.rmtree(self.path, ignore_errors=True)
        elif self.path:
            print("[e2e] kept prefix %s; look into it with WINEPREFIX=%s WINEARCH=win32 wine ..."
                  % (self.path, self.path))
        self.path = None

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
        return base_env(self.path, self.display, self.lang, self.ui_lang)

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
        return run_command(["wine"] + list(args), self.env(), timeout=timeout,
                           check_rc=check_rc, cwd=cwd)

    def kill_server(self):
        """Ends the prefix's wineserver (and every program still running in it); it writes
        the registry to system.reg/user.reg first."""
        kill_server(self._env())
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
        files = os.path.join(fixture_dir, "files.txt")
        if not os.path.exists(reg) and not os.path.exists(files):
            # A fixture that moved would otherwise plant nothing and pass cases it should fail.
            raise FileNotFoundError("no registry.reg or files.txt in " + fixture_dir)
        if os.path.exists(reg):
            self.import_reg(reg)
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
                    make_writable(target)
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
        trace(*argv)
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
        return self.finish(self.start(exe, args), timeout)

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
        done = run_command(["wine", tool] + [str(a) for a in args], self.env(), timeout=timeout,
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

    def code_page_and_ui_language(self):
        """(the ANSI code page, the user's UI language id) as the prefix's programs see them."""
        for line in self.tool(["locale"]).splitlines():
            f = line.split("\t")
            if f[0] == "locale":
                return int(f[1]), int(f[2], 16)
        raise HarnessError("wintool locale printed no record")

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
        [rename] section and RunOnce. The planted in-use files are released first, as a restart
        closes every handle."""
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
