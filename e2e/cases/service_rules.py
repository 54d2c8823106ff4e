"""Windows' rules for a driver service under Wine: a class's filter list names the driver set's
filter service between two other filters, and Wine's service manager holds the service. A quiet
run takes the name out of the list (the other two stay, in order) and deletes the service
through DeleteService, after which services.exe deletes its key."""
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import ROOT, Prefix, case, check, check_equal, main  # noqa: E402

FIXTURE = os.path.join(ROOT, "tests", "fixtures", "nt-driver-set")
HKLM = "HKEY_LOCAL_MACHINE\\"
DISK_CLASS = "System\\CurrentControlSet\\Control\\Class\\{4D36E967-E325-11CE-BFC1-08002BE10318}"
SERVICE = "System\\CurrentControlSet\\Services\\K440dTmf"


def multi_sz_hex(names):
    data = b"".join(n.encode("ascii") + b"\0" for n in names) + b"\0"
    return ",".join("%02x" % b for b in data)


# A demand-start kernel driver: services.exe loads it (Type set) and does not start it.
REG = """REGEDIT4

[HKEY_LOCAL_MACHINE\\%s]
"UpperFilters"=hex(7):%s

[HKEY_LOCAL_MACHINE\\%s]
"Type"=dword:00000001
"Start"=dword:00000003
"ErrorControl"=dword:00000001
"ImagePath"="System32\\\\DRIVERS\\\\K440dTmf.sys"
""" % (DISK_CLASS, multi_sz_hex(["PartMgr", "K440dTmf", "Snap"]), SERVICE)


def names_of(value):
    """The entries of a REG_MULTI_SZ value of a snapshot."""
    check(value is not None and isinstance(value[1], str), "a list value: %r" % (value,))
    return [n for n in value[1].split("\0") if n]


@case
def filter_and_service_manager_winxp():
    with Prefix("service_rules_winxp", version="winxp") as p:
        p.plant(FIXTURE)
        with tempfile.NamedTemporaryFile("w", suffix=".reg", delete=False) as reg:
            reg.write(REG)
        try:
            p.import_reg(reg.name)
        finally:
            os.remove(reg.name)
        exe = p.install_product()
        # The snapshot ends the wineserver: the run's services.exe starts anew and loads the
        # planted service from the registry.
        before = p.snapshot()
        check_equal(["PartMgr", "K440dTmf", "Snap"], names_of(before.value(HKLM + DISK_CLASS, "UpperFilters")),
                    "the planted filter list")
        result = p.run(exe, ["-quiet", "-log_file:C:\\run.log"], timeout=60)
        check(not result.timed_out, "the quiet run did not end: %r" % result)
        check_equal(2, result.code, "exit code of -quiet (a restart is needed)")
        after = p.snapshot()
        check_equal(["PartMgr", "Snap"], names_of(after.value(HKLM + DISK_CLASS, "UpperFilters")),
                    "the class's filters after the run, in their order")
        check(not after.has_key(HKLM + SERVICE), "the service's key is gone")
        with open(p.host_path("C:\\run.log"), encoding="cp932", errors="replace") as f:
            log = f.read()
        check("took out K440dTmf" in log, "the log names the filter edit:\n" + log)
        check("delete service K440dTmf: marked for deletion by the service manager" in log,
              "the service went through the service manager:\n" + log)
        check("delete key System\\CurrentControlSet\\Services\\K440dTmf: removed" in log,
              "and its key with it:\n" + log)


main()
