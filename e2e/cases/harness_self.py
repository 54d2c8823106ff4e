"""The harness's own promises that product cases build on: scripting a box with wintool (wait,
click, Escape, close box), and wineboot -r as the restart that carries out pending deletes."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import Prefix, case, check, check_equal, main  # noqa: E402


@case
def scripted_box_answers():
    # The refused start on Windows 95 shows one message box (without -quiet as well).
    with Prefix("scripted_box_answers", version="win95") as p:
        exe = p.install_product()
        for answer in ("click", "escape", "close"):
            running = p.start(exe)
            box = p.wait_box(timeout=20)
            check(box is not None, "no box appeared before answering with %s" % answer)
            check(box.text.endswith(" (9)"), "the box's text should end in ' (9)': %r" % box)
            check(box.control(box.default_id) is not None,
                  "the default button %d should be among the controls: %r"
                  % (box.default_id, box.controls))
            if answer == "click":
                p.click(box, box.default_id)
            elif answer == "escape":
                p.escape(box)
            else:
                p.close_box(box)
            result = p.finish(running, timeout=20)
            check(not result.timed_out, "the box did not go away after %s" % answer)
            check_equal(9, result.code, "exit code after answering the box with %s" % answer)
            check_equal([], p.boxes(), "boxes left after answering with %s" % answer)


@case
def restart_carries_out_pending_deletes():
    with Prefix("restart_pending_deletes", version="winxp") as p:
        doomed = "C:\\windows\\system32\\drivers\\k440doomed.sys"
        target = p.host_path(doomed)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(b"driver")
        # PendingFileRenameOperations: "\??\<path>" then an empty name (delete), as MULTI_SZ.
        data = ("\\??\\" + doomed).encode("ascii") + b"\0\0\0"
        reg = os.path.join(p.path, "pending.reg")
        with open(reg, "w") as f:
            f.write("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\"
                    "Session Manager]\r\n\"PendingFileRenameOperations\"=hex(7):%s\r\n"
                    % ",".join("%02x" % b for b in data))
        p.import_reg(reg)
        before = p.snapshot()
        p.restart()
        diff = before.diff(p.snapshot())
        check_equal([doomed.lower() + " [-]"], diff.removed_files, "files the restart removed")
        check_equal(1, len(diff.removed_values), "values the restart removed: %s" % diff)
        check("PendingFileRenameOperations" in diff.removed_values[0],
              "the restart should consume PendingFileRenameOperations: %s" % diff)
        check_equal([], diff.removed_keys + diff.added_keys + diff.added_values +
                    diff.changed_values + diff.added_files + diff.changed_files,
                    "other changes by the restart")


main()
