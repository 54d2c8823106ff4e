"""64-bit Wine prefixes (WINEARCH=win64): a booted template of their own, built once beside the
32-bit one, and Prefix64, a case's copy of it. Under 64-bit Wine a 32-bit program runs under
WOW64 as on 64-bit Windows: its system32 is syswow64 and its HKLM\\Software is
HKLM\\Software\\Wow6432Node."""
import fcntl
import os
import shutil
import subprocess
import tempfile
import time

from harnesslib.errors import HarnessError, trace
from harnesslib.prefix import Prefix
from harnesslib.wine import ROOT, base_env, cache_dir, kill_server, run_command

COMPANION_EXE = os.path.join(ROOT, "dist", "K440dTUn64.exe")
WINE64_LOADER = "/usr/lib/wine/wine64"
VERSIONS64 = ("win7", "win10")
TEMPLATE64_STAMP = "k440-template64-v1"


def base_env64(prefix, display=None, lang=None):
    env = base_env(prefix, display, lang)
    env["WINEARCH"] = "win64"
    return env


def require_wine64():
    if not os.access(WINE64_LOADER, os.X_OK):
        raise HarnessError("64-bit Wine is missing (%s): ./run setup installs it" % WINE64_LOADER)


def ensure_template64():
    """The path of the booted 64-bit template prefix; built the first time, under a lock."""
    require_wine64()
    cache = cache_dir()
    os.makedirs(cache, exist_ok=True)
    template = os.path.join(cache, "template64")
    with open(os.path.join(cache, "template64.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(os.path.join(template, TEMPLATE64_STAMP)):
            return template
        shutil.rmtree(template, ignore_errors=True)
        building = tempfile.mkdtemp(prefix="template64-building-", dir=cache)
        env = base_env64(building)
        started = time.time()
        run_command([WINE64_LOADER, "wineboot", "-i"], env, timeout=300)
        for args in (["HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog", "/t",
                      "REG_DWORD", "/d", "0"],
                     ["HKCU\\Software\\Wine\\Explorer", "/v", "Desktop", "/d", "Default"],
                     ["HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "Default", "/d",
                      "1024x768"]):
            run_command([WINE64_LOADER, "reg", "add"] + args + ["/f"], env, timeout=60)
        kill_server(env)
        subprocess.run(["wineserver", "-w"], env=env, timeout=60)
        open(os.path.join(building, TEMPLATE64_STAMP), "w").close()
        os.rename(building, template)
        trace("64-bit template built in %.1f s" % (time.time() - started))
        return template


class Prefix64(Prefix):
    """A throw-away 64-bit prefix; version one of VERSIONS64. Programs start through the wine
    launcher, which hands a 64-bit prefix to the 64-bit loader."""

    def __init__(self, name, version="win7", lang="ja_JP.UTF-8"):
        if version not in VERSIONS64:
            raise HarnessError("unknown 64-bit Windows version %r (one of %s)"
                               % (version, VERSIONS64))
        Prefix.__init__(self, name, "winxp", lang)  # a version the 32-bit list knows
        self.version = version

    def _template(self):
        return ensure_template64()

    def _env(self):
        return base_env64(self.path, self.display, self.lang)

    def set_version(self, version):
        if version not in VERSIONS64:
            raise HarnessError("unknown 64-bit Windows version %r" % version)
        self.wine(["reg", "add", "HKCU\\Software\\Wine", "/v", "Version", "/d", version, "/f"])
        self.version = version

    def install_companion(self, folder):
        """Copies dist/K440dTUn64.exe into the folder; returns its Windows path."""
        if not os.path.exists(COMPANION_EXE):
            raise HarnessError("%s is missing: build build/win64 first" % COMPANION_EXE)
        return self.copy_in(COMPANION_EXE, folder.rstrip("\\") + "\\K440dTUn64.exe")

    def import_reg_text(self, text):
        """Imports .reg text with regedit, which the launcher starts as Wine's 32-bit program:
        its HKLM\\Software is the 32-bit view, as a 32-bit installer's is."""
        with tempfile.NamedTemporaryFile("w", suffix=".reg", delete=False,
                                         encoding="latin-1") as f:
            f.write(text)
        try:
            self.import_reg(f.name)
        finally:
            os.remove(f.name)
