"""What a run tells: the plan of a dry run that changes nothing, the log of a quiet run at a
path with blanks and a hyphen, and a driver file in use handed to the restart."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import ROOT, Prefix, case, check, check_equal, main  # noqa: E402

FIXTURE = os.path.join(ROOT, "tests", "fixtures", "nt-driver-set")
PLAN = "C:\\plan.log"
BUSY_DRIVER = "C:\\WINDOWS\\system32\\drivers\\K440dTuc.sys"
# Wine rewrites its display driver's date at every start; no business of the uninstaller.
WINE_DISPLAY_CHURN = r"\\control\\class\\\{4d36e968-e325-11ce-bfc1-08002be10318\}\\0000$"
# Under load Wine may enumerate its display adapter and monitor again while a case runs.
WINE_DISPLAY_DEVICES = [r"\\enum\\display\\", r"\\enum\\pci\\ven_0000&dev_0000",
                        r"\\control\\class\\\{4d36e96e-e325-11ce-bfc1-08002be10318\}"]


def log_lines(p, windows_path):
    """The lines of a log in the prefix, each checked for its CR LF end."""
    with open(p.host_path(windows_path), "rb") as f:
        data = f.read()
    check(data.endswith(b"\r\n"), "%s ends with CR LF" % windows_path)
    check(b"\n" not in data.replace(b"\r\n", b""), "%s has CR LF line ends only" % windows_path)
    return data.decode("cp932").split("\r\n")[:-1]


def path_of(line, prefix):
    """The path of a "<prefix><path>" or "<prefix><path>: outcome" line, lower-cased."""
    return line[len(prefix):].split(": ")[0].split(" (")[0].lower()


@case
def dry_run_changes_nothing_and_plans_what_a_quiet_run_removes():
    with Prefix("dry_run", version="winxp") as p:
        p.plant(FIXTURE)
        exe = p.install_product()
        before = p.snapshot()
        result = p.run(exe, ["-dry_run", "-quiet", "-log_file:" + PLAN], timeout=60)
        check_equal(0, result.code, "exit code of a quiet dry run")
        diff = before.diff(p.snapshot(), ignore_keys=[WINE_DISPLAY_CHURN] + WINE_DISPLAY_DEVICES,
                           ignore_values=WINE_DISPLAY_DEVICES, ignore_files=[r"^c:\\plan\.log$"])
        check(diff.empty(), "a dry run changes nothing: %s" % diff.lines())
        plan = log_lines(p, PLAN)
        check_equal("result 0", plan[-1], "the plan's last line")
        planned = set(path_of(l, prefix) for l in plan
                      for prefix in ("plan: delete file ", "plan: uninstall driver package ")
                      if l.startswith(prefix) and "(not there)" not in l)
        # A file handed to the restart (the running program) is set aside under a new name.
        planned |= set(path_of(l, "plan: hand ").rsplit(" to the restart", 1)[0] for l in plan
                       if l.startswith("plan: hand "))
        planned_keys = set(path_of(l, "plan: delete key ") for l in plan
                           if l.startswith("plan: delete key "))

        mid = p.snapshot()
        result = p.run(exe, ["-quiet"], timeout=60)
        check_equal(2, result.code, "exit code of the quiet run after the dry run")
        removed = mid.diff(p.snapshot(), ignore_keys=[WINE_DISPLAY_CHURN])
        removed_files = set(f.rsplit(" [", 1)[0].lower() for f in removed.removed_files)
        check(removed_files, "the quiet run removed files")
        check_equal(sorted(removed_files), sorted(removed_files & planned),
                    "every file the quiet run removed was in the plan")
        for key in ("system\\currentcontrolset\\services\\k440dtuc",
                    "software\\tavo\\{5a0c31e2-7d44-4f19-9b6e-2c8d10f3a7b5}"):
            check(key in planned_keys, "the plan names the key %s: %r" % (key, planned_keys))


@case
def quiet_run_writes_the_log_at_a_quoted_path_with_blanks_and_a_hyphen():
    log = "C:\\my logs\\k440-run.log"
    with Prefix("quoted_log", version="winxp") as p:
        p.plant(FIXTURE)
        os.makedirs(p.host_path("C:\\my logs"), exist_ok=True)
        exe = p.install_product()
        # The record carries the switch text as written: the quotes reach the program unchanged.
        with tempfile.TemporaryDirectory() as scratch:
            p.import_reg(write_record_switches(scratch, '-log_file:"%s" -quiet' % log))
        result = p.run(exe, ["-quiet"], timeout=60)
        check_equal(2, result.code, "exit code of the quiet run")
        lines = log_lines(p, log)
        check("; command line: -quiet" in lines[0], "the header names the command line: %r" % lines[0])
        check("OS class 8 (Windows XP)" in lines[0], "the header names the system: %r" % lines[0])
        check(any(l.startswith("found key System\\CurrentControlSet\\Services\\K440dTuc (")
                  for l in lines), "the service key is a finding with its source")
        check(any(l.lower().startswith("uninstall driver package c:\\windows\\inf\\oem12.inf: ")
                  for l in lines), "the driver package's outcome: %r" % lines)
        check(any(l.lower() == "delete file c:\\windows\\system32\\drivers\\k440dtuc.sys: removed"
                  for l in lines), "the driver file's deletion: %r" % lines)
        check_equal(["removal: complete", "restart needed", "result 2"], lines[-3:],
                    "the log's last lines")


@case
def command_line_with_a_quoted_log_path_writes_the_log():
    log = "C:\\my logs\\k440-run.log"
    with Prefix("quoted_log_command_line", version="winxp") as p:
        p.plant(FIXTURE)
        os.makedirs(p.host_path("C:\\my logs"), exist_ok=True)
        exe = p.install_product()
        # Wine escapes the double quotes of a Unix argument; a batch file hands the program
        # its command line exactly as written.
        with open(p.host_path("C:\\run-quoted.bat"), "w", newline="\r\n") as f:
            f.write('"%s" -quiet -log_file:"%s"\n' % (exe, log))
        result = p.run("C:\\windows\\system32\\cmd.exe", ["/c", "C:\\run-quoted.bat"],
                       timeout=60)
        check_equal(2, result.code, "exit code of the quiet run")
        lines = log_lines(p, log)
        check(lines[0].endswith('; command line: -quiet -log_file:"%s"; record switches: '
                                '-skip_inf_validation; OS class 8 (Windows XP)' % log),
              "the header: %r" % lines[0])
        check_equal("result 2", lines[-1], "the log's last line")


def write_record_switches(folder, switches):
    """A .reg file in the folder that sets the product record's switch text."""
    path = os.path.join(folder, "record-switches.reg")
    escaped = switches.replace("\\", "\\\\").replace('"', '\\"')
    with open(path, "w", newline="\r\n") as f:
        f.write("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TAVO\\"
                "{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}]\n"
                "\"UninstallerCmdLineSwitch\"=\"%s\"\n" % escaped)
    return path


@case
def driver_file_in_use_is_gone_after_the_restart():
    with Prefix("driver_in_use", version="winxp") as p:
        p.plant(FIXTURE)
        with tempfile.TemporaryDirectory() as scratch:
            held = os.path.join(scratch, "files.txt")
            with open(held, "w") as f:  # "U": open without delete sharing during the run
                f.write("U\t%s\tdriver in use\n" % BUSY_DRIVER)
            p.plant_files(held)
        exe = p.install_product()
        result = p.run(exe, ["-quiet", "-log_file:C:\\run.log"], timeout=60)
        check_equal(2, result.code, "exit code: handed to the restart, not left in place")
        check(p.exists(BUSY_DRIVER), "the driver in use stays until the restart")
        lines = log_lines(p, "C:\\run.log")
        check(any(l.lower().startswith("hand " + BUSY_DRIVER.lower() + " to the restart: done")
                  for l in lines), "the log tells the hand-over: %r" % lines)
        p.restart()
        check(not p.exists(BUSY_DRIVER), "the driver file is gone after the restart")


main()
