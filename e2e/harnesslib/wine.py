"""Wine and Xvfb control: the environment of a prefix, commands with a timeout, the booted
template prefix every case copies, and the probe for 32-bit code."""
import errno
import fcntl
import os
import shutil
import signal
import struct
import subprocess
import tempfile
import time

from harnesslib.errors import HarnessError, NoThirtyTwoBitCode, trace

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
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


def cache_dir():
    return os.environ.get("K440_E2E_CACHE") or os.path.join(ROOT, "build", "host", "e2e-cache")


def western_locale():
    """A Unix locale under which Wine's ANSI code page is 1252 and its UI language English:
    en_US.UTF-8 where it is generated, else C.UTF-8 (Wine reads the C locale as en-US)."""
    listed = subprocess.run(["locale", "-a"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                            timeout=30).stdout.decode("utf-8", "replace").lower().split()
    return "en_US.UTF-8" if "en_us.utf8" in listed else "C.UTF-8"


def base_env(prefix, display=None, lang=None, ui_lang=None):
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
        # LC_ALL would override LC_MESSAGES, which gives Wine the user's UI language.
        for name in [n for n in env if n.startswith("LC_")]:
            del env[name]
        env["LANG"] = lang
        if ui_lang:
            env["LC_MESSAGES"] = ui_lang
        else:
            env["LC_ALL"] = lang
    return env


class Launched:
    """A started command whose output goes to temporary files, not pipes: Wine's own
    processes (wineserver, services.exe, explorer.exe) that a command starts inherit its
    output and outlive it, so a pipe would not reach its end when the command does."""

    def __init__(self, argv, env, cwd=None):
        trace(*argv)
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


def run_command(argv, env, timeout, cwd=None, check_rc=True):
    done = Launched(argv, env, cwd).wait(timeout)
    if done.timed_out:
        raise HarnessError("timed out after %ss: %s" % (timeout, " ".join(argv)))
    if check_rc and done.returncode != 0:
        raise HarnessError("%s exited %d: %s" % (" ".join(argv), done.returncode,
                                                 done.stderr.decode("utf-8", "replace")[-2000:]))
    return done


def kill_server(env):
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
        env = base_env(building)
        started = time.time()
        run_command(["wineboot", "-i"], env, timeout=300)
        # A crash must end the program, not wait on the crash dialog.
        run_command(["wine", "reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v",
                     "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f"], env, timeout=60)
        # A virtual desktop: Wine is the window manager, as Windows is. On a bare Xvfb display
        # each X window that goes away would otherwise wait 2 s for a window manager that is
        # not there ("wait_for_withdrawn_state ... timed out"), and focus and activation
        # follow Windows' rules rather than an X window manager's.
        run_command(["wine", "reg", "add", "HKCU\\Software\\Wine\\Explorer", "/v", "Desktop",
                     "/d", "Default", "/f"], env, timeout=60)
        run_command(["wine", "reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v",
                     "Default", "/d", "1024x768", "/f"], env, timeout=60)
        kill_server(env)
        subprocess.run(["wineserver", "-w"], env=env, timeout=60)
        open(os.path.join(building, TEMPLATE_STAMP), "w").close()
        os.rename(building, template)
        trace("template built in %.1f s" % (time.time() - started))
        return template


def start_xvfb():
    """Starts an Xvfb server on a free display; returns (process, ":<number>")."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
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
        xvfb.kill()
        xvfb.wait()
        raise HarnessError("Xvfb did not start")
    return xvfb, ":" + number.decode().strip()


def stop_xvfb(xvfb):
    xvfb.terminate()
    try:
        xvfb.wait(timeout=10)
    except subprocess.TimeoutExpired:
        xvfb.kill()


def make_writable(path):
    for here, dirs, files in os.walk(path):
        for n in dirs + files:
            p = os.path.join(here, n)
            try:
                if not os.path.islink(p):
                    os.chmod(p, os.stat(p).st_mode | 0o200)
            except OSError:
                pass
