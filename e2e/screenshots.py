"""Takes the README's screenshots under Wine with a Japanese locale: the confirmation dialog,
the success box and a failure box, into docs/; and the dialog in English under a Western
locale (code page 1252). The harness's prefixes run in Wine's virtual desktop, so the windows
have their title bars. The message boxes' font (Tahoma) has no Japanese glyphs under Wine: in
the Japanese prefix it is replaced by a Japanese one, as a Japanese Windows has it.

usage: python3 e2e/screenshots.py   (needs the Windows build)"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from harness import ROOT, HarnessError, Prefix, western_locale  # noqa: E402

DOCS = os.path.join(ROOT, "docs")
SCREEN = (1024, 768)  # the harness's Xvfb screen
SIZE = (560, 300)     # the middle of it, where the dialog and the boxes are centred


def grab(p, name):
    target = os.path.join(DOCS, name)
    left, top = (SCREEN[0] - SIZE[0]) // 2, (SCREEN[1] - SIZE[1]) // 2
    subprocess.run(["import", "-display", p.display, "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (SIZE[0], SIZE[1], left, top), "+repage", target],
                   check=True, timeout=60)
    print("wrote", target)


def wait_for(p, seen, timeout=30):
    deadline = time.time() + timeout
    while time.time() < deadline:
        for box in p.boxes():
            if box.hwnd not in seen:
                time.sleep(1.0)  # let it paint
                return box
        time.sleep(0.3)
    raise HarnessError("no new window appeared")


def shoot(p, exe, args, shots):
    """Runs the program and, for each (file name, button) in turn, waits for its next window,
    grabs the screen into the file (unless None) and presses the button."""
    process = p.start(exe, args)
    seen = set()
    for name, button in shots:
        window = wait_for(p, seen)
        if name:
            grab(p, name)
        p.click(window, button)
        seen.add(window.hwnd)
    p.finish(process)


def main():
    os.makedirs(DOCS, exist_ok=True)
    with Prefix("screenshots", version="winxp") as p:
        for font in ("Tahoma", "MS Shell Dlg", "MS Shell Dlg 2"):
            p.wine(["reg", "add", "HKCU\\Software\\Wine\\Fonts\\Replacements", "/v", font,
                    "/d", "IPAGothic", "/f"])
        exe = p.install_product()
        shoot(p, exe, [], [("dialog.png", 1003), ("success-box.png", 1)])
        shoot(p, exe, ["-bogus"], [("failure-box.png", 1)])
    with Prefix("screenshots_english", version="winxp", lang=western_locale()) as p:
        exe = p.install_product()
        shoot(p, exe, [], [("dialog-english.png", 1004), (None, 1)])


if __name__ == "__main__":
    main()
