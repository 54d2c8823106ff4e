"""What the user sees, under Wine with a display: the confirmation dialog and its texts, Cancel,
Uninstall with the progress text, the inputs that leave the dialog open, a second instance,
the failure box, and -before_rebooting with the RunOnce command run by a restart."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import (DEFAULT_INSTALL_DIR, ROOT, HarnessError, Prefix, case, check,  # noqa: E402
                     check_equal, main, parse_wintool_output)

FIXTURE = os.path.join(ROOT, "e2e", "fixtures", "ui-driver-set")
GATED_DEVICE = os.path.join(ROOT, "e2e", "fixtures", "ui-gated-device")
GATE_DLL = os.path.join(ROOT, "build", "win", "e2e-tools", "gated_coinstaller_dll.dll")
GATE_WINDOWS_PATH = "C:\\windows\\system32\\gated_coinstaller_dll.dll"
MARKER_EXE = os.path.join(ROOT, "build", "win", "e2e-tools", "marker.exe")
PRODUCT_KEY = "HKLM\\Software\\TAVO\\{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}"
RUN_ONCE = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"
DRIVER = "C:\\windows\\system32\\drivers\\K440dTwh.sys"

# The built-in profile's texts, as the program hands them to the ANSI functions.
TITLE = "ドライバのアンインストール".encode("cp932")
TEXT = "KESA K440dT ドライバをアンインストールする準備ができました。".encode("cp932")
UNINSTALL = "アンインストール".encode("cp932")
CANCEL = "中止".encode("cp932")
CANCELLED = "ドライバのアンインストールを中止しました。".encode("cp932")
SUCCESS = "KESA K440dTドライバを削除しました。".encode("cp932")
FAILURE = "KESA K440dT 携帯端末ソフトウェアのアンインストールが失敗しました。".encode("cp932")
IDOK, IDNO = 1, 7


def open_dialog(p, args=()):
    exe = p.install_product()
    process = p.start(exe, args)
    dialog = p.wait_box(timeout=30)
    check(dialog is not None, "the confirmation dialog did not appear")
    return process, dialog


def check_dialog_texts(dialog):
    check_equal(TITLE, dialog.caption_bytes, "dialog title (CP932 bytes)")
    for control_id, expected in ((1002, TEXT), (1003, UNINSTALL), (1004, CANCEL)):
        c = dialog.control(control_id)
        check(c is not None, "dialog has no control %d: %r" % (control_id, dialog))
        check_equal(expected, c.text_bytes, "text of control %d" % control_id)
        check(c.visible, "control %d is visible when the dialog opens" % control_id)
    check_equal(1003, dialog.default_id, "Uninstall is the default button")


def wait_other_box(p, seen, timeout=20):
    """The first visible dialog or message box whose window is not in `seen`."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        for box in p.boxes():
            if box.hwnd not in seen:
                return box
        time.sleep(0.2)
    return None


def still_open(p, dialog):
    return any(b.hwnd == dialog.hwnd for b in p.boxes())


def start_trace(p, dialog):
    tool = p._install_wintool()
    trace = subprocess.Popen(["wine", tool, "trace", "-w", dialog.hwnd, "-t", "60000"],
                             env=p.env(), stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    first = trace.stdout.readline().decode("latin-1")
    if not first.startswith("tracing"):
        raise HarnessError("wintool trace did not start: %r" % first)
    return trace


def read_states(lines):
    """[{id: (visible, text bytes)}] in the order the trace saw them."""
    states, current = [], None
    for line in lines:
        f = line.split("\t")
        if f[0] == "state":
            current = {}
            states.append(current)
        elif f[0] == "control" and current is not None:
            current[int(f[1])] = (f[3] == "visible", bytes.fromhex(f[5]))
        elif f[0] == "end":
            current = None
    # While the dialog is destroyed its controls go one by one: keep the whole states.
    return [s for s in states if all(i in s for i in (1002, 1003, 1004))]


def read_until_state(trace, wanted):
    """The trace's lines up to the end of the first state that `wanted` accepts, or to the end
    of the trace."""
    lines = []
    for raw in trace.stdout:
        lines.append(raw.decode("latin-1").rstrip("\r\n"))
        if lines[-1] == "end" and read_states(lines) and wanted(read_states(lines)[-1]):
            break
    return lines


def shows_progress(state):
    return state[1002][1] == b"Uninstalling..."


def shows_progress_alone(state):
    return shows_progress(state) and not state[1003][0] and not state[1004][0]


def wait_for_file(path, timeout):
    deadline = time.time() + timeout
    while time.time() < deadline and not os.path.exists(path):
        time.sleep(0.05)
    return os.path.exists(path)


@case
def dialog_cancel_changes_nothing():
    with Prefix("dialog_cancel", version="winxp") as p:
        p.plant(FIXTURE)
        p.install_product()
        before = p.snapshot()
        process, dialog = open_dialog(p)
        check_dialog_texts(dialog)
        p.click(dialog, 1004)
        box = wait_other_box(p, {dialog.hwnd})
        check(box is not None, "no cancellation box after Cancel")
        check_equal(CANCELLED, box.text_bytes, "text of the cancellation box")
        check_equal(TITLE, box.caption_bytes, "caption of the cancellation box")
        p.click(box, box.default_id if box.default_id > 0 else IDOK)
        result = p.finish(process)
        check_equal(3, result.code, "exit code after Cancel")
        diff = before.diff(p.snapshot())
        check(diff.empty, "Cancel changed the machine:\n%s" % diff)


@case
def dialog_uninstall_shows_progress_then_success():
    with Prefix("dialog_uninstall", version="winxp") as p:
        p.plant(FIXTURE)
        # The removal waits in the co-installer of a planted device until the case has looked
        # at the dialog: what the trace sees then is what the removal runs under, not a sample
        # that happened to fall within it.
        p.plant(GATED_DEVICE)
        p.copy_in(GATE_DLL, GATE_WINDOWS_PATH)
        held, go = p.host_path(GATE_WINDOWS_PATH + ".held"), p.host_path(GATE_WINDOWS_PATH + ".go")
        process, dialog = open_dialog(p)
        trace = start_trace(p, dialog)
        p.click(dialog, 1003)
        check(wait_for_file(held, 60), "the removal did not reach the planted device's "
              "co-installer")
        lines = read_until_state(trace, shows_progress_alone)
        during = read_states(lines)
        check(during and shows_progress_alone(during[-1]),
              "while the removal runs: the progress text with both buttons hidden: %r" % during)
        open(go, "wb").close()
        after = read_states(lines + read_until_state(trace, lambda state: False))[len(during):]
        trace.wait(timeout=30)
        check(all(shows_progress_alone(s) for s in after),
              "the progress text and the hidden buttons stay until the dialog closes: %r"
              % after)
        box = wait_other_box(p, {dialog.hwnd})
        check(box is not None, "no success box after the removal")
        check_equal(SUCCESS, box.text_bytes, "text of the success box")
        p.click(box, box.default_id if box.default_id > 0 else IDOK)
        # Wine 8's SetupPromptReboot is a stub ("fixme:setupapi:SetupPromptReboot ... stub"):
        # the restart prompt shows nothing there, so the exit code tells of the restart.
        result = p.finish(process)
        check_equal(2, result.code, "exit code of a removal that needs a restart")
        check(p.snapshot().file(DRIVER) is None, "the driver binary is gone")


@case
def dialog_escape_and_close_box_leave_it_open():
    with Prefix("dialog_escape", version="winxp") as p:
        process, dialog = open_dialog(p)
        p.escape(dialog)
        time.sleep(1.5)
        check(still_open(p, dialog), "Escape closed the dialog")
        p.close_box(dialog)
        time.sleep(1.5)
        check(still_open(p, dialog), "the close box closed the dialog")
        check(process.process.poll() is None, "the program ended on Escape or the close box")
        p.click(dialog, 1004)
        box = wait_other_box(p, {dialog.hwnd})
        check(box is not None and box.text_bytes == CANCELLED,
              "Cancel still works afterwards: %r" % box)
        p.click(box, IDOK)
        check_equal(3, p.finish(process).code, "exit code after Cancel")


@case
def second_instance_ends_with_4_while_the_dialog_is_open():
    with Prefix("second_instance", version="winxp") as p:
        process, dialog = open_dialog(p)
        # The program already in place: copying it again would overwrite the file of the
        # running first instance, which Windows refuses; under Wine it has left the first
        # instance deaf to its dialog, depending on the program's section layout.
        exe = DEFAULT_INSTALL_DIR + "\\K440dTUn.exe"
        started = time.time()
        second = p.run(exe, [], timeout=30)
        check_equal(4, second.code, "exit code of the second instance")
        check(time.time() - started < 20, "the second instance ended at once")
        boxes = p.boxes()
        check_equal([dialog.hwnd], [b.hwnd for b in boxes],
                    "the second instance showed nothing; only the first one's dialog is open")
        p.click(dialog, 1004)
        box = wait_other_box(p, {dialog.hwnd})
        if box:
            p.click(box, IDOK)
        check_equal(3, p.finish(process).code, "the first instance ends normally")


@case
def quiet_show_error_bogus_shows_the_failure_box():
    with Prefix("failure_box", version="winxp") as p:
        exe = p.install_product()
        result = p.run_watched(exe, ["-quiet", "-show_error", "-bogus"], timeout=60)
        check_equal(8, result.code, "exit code")
        check_equal(1, len(result.boxes), "one box: %r" % result.boxes)
        box = result.boxes[0]
        check_equal(FAILURE + b" (8)", box.text_bytes, "the failure text and the code")
        check_equal(TITLE, box.caption_bytes, "caption of the failure box")


def plant_marker(p, windows_path):
    if not os.path.exists(MARKER_EXE):
        raise HarnessError("%s is missing: build the Windows build first" % MARKER_EXE)
    p.copy_in(MARKER_EXE, windows_path)
    return p.host_path(windows_path + ".ran")


@case
def unquoted_run_once_command_starts_program_exe():
    """The platform fact behind the quoted RunOnce command: unquoted, a path with a blank
    starts C:\\Program.exe; quoted, the program named."""
    with Prefix("run_once_quoting", version="winxp") as p:
        planted = plant_marker(p, "C:\\Program.exe")
        target = plant_marker(p, "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe")
        p.wine(["reg", "add", RUN_ONCE, "/v", "unquoted", "/d",
                "C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe -ignore_before_reboot_cmd",
                "/f"])
        p.restart()
        check(os.path.exists(planted), "Wine started C:\\Program.exe for the unquoted command")
        os.remove(planted)
        p.wine(["reg", "add", RUN_ONCE, "/v", "quoted", "/d",
                "\"C:\\Program Files\\halvenor\\K440dT\\K440dTUn.exe\" "
                "-ignore_before_reboot_cmd", "/f"])
        p.restart()
        check(not os.path.exists(planted), "the quoted command did not start C:\\Program.exe")
        check(os.path.exists(target), "the quoted command started the program it names")


@case
def before_rebooting_resumes_after_the_restart():
    with Prefix("before_rebooting", version="winxp") as p:
        p.plant(FIXTURE)
        # The run after the restart must not wait on the dialog: the product record says -quiet.
        p.wine(["reg", "add", PRODUCT_KEY, "/v", "UninstallerCmdLineSwitch", "/d", "-quiet",
                "/f"])
        planted = plant_marker(p, "C:\\Program.exe")
        exe = p.install_product()
        result = p.run_watched(exe, ["-before_rebooting"], timeout=60, answer=str(IDNO))
        check_equal(0, result.code, "exit code of -before_rebooting")
        own = [b for b in result.boxes if b.caption_bytes == TITLE]
        check_equal([], own, "no message box (the restart prompt is a stub in Wine 8)")
        snap = p.snapshot()
        value = snap.value(RUN_ONCE, "K440dTUn.exe")
        check_equal("\"%s\" -ignore_before_reboot_cmd" % exe, value[1] if value else None,
                    "the RunOnce command, path quoted")
        check(snap.file(DRIVER) is not None, "nothing is removed before the restart")
        p.restart(timeout=180)
        check(not os.path.exists(planted), "C:\\Program.exe must not run")
        after = p.snapshot()
        check(after.value(RUN_ONCE, "K440dTUn.exe") is None, "the platform took the entry")
        check(after.file(DRIVER) is None, "the run after the restart removed the driver")


main()
