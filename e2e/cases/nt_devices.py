"""Devices and OEM INF files on Windows XP: Wine's SetupAPI over a planted device tree, and the
quiet run that removes the handset's device instances with their OEM INF copies and PNF twins.

The fixture e2e/fixtures/nt-devices plants, under "System\\CurrentControlSet\\Enum" (where Wine
keeps its device tree) and "Control\\Class":
  - USB\\VID_FFFF&PID_0001&MI_00: driver key with the product-GUID marker, provider Microsoft,
    InfPath oem7.inf;
  - USB\\VID_FFFF&PID_0001&MI_02: provider Halvenor, InfPath oem8.inf;
  - ROOT\\K440DTCR: matched only through the device name, installed from Microsoft's mdmgen.inf;
  - USB\\VID_1234&PID_5678: another vendor's device from oem9.inf;
and in C:\\windows\\inf the INF copies with their PNF twins, plus oem10.inf of another product.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import ROOT, HarnessError, Prefix, case, check, check_equal, main  # noqa: E402

FIXTURE = os.path.join(ROOT, "e2e", "fixtures", "nt-devices")
PROBE_EXE = os.path.join(ROOT, "build", "win", "e2e-tools", "setupapi_probe.exe")
PRODUCT_GUID = "{5A0C31E2-7D44-4F19-9B6E-2C8D10F3A7B5}"
MODEM = "{4D36E96D-E325-11CE-BFC1-08002BE10318}"
PORTS = "{4D36E978-E325-11CE-BFC1-08002BE10318}"
ENUM = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Enum\\"
CLASS = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Class\\"

PRODUCT_DEVICES = [
    ENUM + "USB\\VID_FFFF&PID_0001&MI_00\\6&2f3a1b&0&0000",
    ENUM + "USB\\VID_FFFF&PID_0001&MI_02\\6&2f3a1b&0&0002",
    ENUM + "ROOT\\K440DTCR\\0000",
]
# Driver keys that DIF_REMOVE deletes with their devices. Wine deletes a driver key with
# RegDeleteKey, which refuses a key with subkeys: the one carrying the product-GUID marker
# stays under Wine (Windows deletes the device's software key whole).
PRODUCT_DRIVER_KEYS = [CLASS + PORTS + "\\0003", CLASS + PORTS + "\\0004"]
MARKED_DRIVER_KEY = CLASS + MODEM + "\\0001"
PRODUCT_FILES = ["oem7.inf", "oem7.pnf", "oem8.inf", "oem8.pnf"]
OTHER_DEVICE = ENUM + "USB\\VID_1234&PID_5678\\5&77aa&0&1"
OTHER_DRIVER_KEY = CLASS + MODEM + "\\0002"
OTHER_FILES = ["oem9.inf", "oem9.pnf", "oem10.inf", "oem10.pnf", "mdmgen.inf"]


def probe(p, *args):
    """Runs setupapi_probe; returns its answer lines as (what, result, error, text) tuples."""
    if not os.path.exists(PROBE_EXE):
        raise HarnessError("%s is missing: build the Windows build first" % PROBE_EXE)
    tool = p.copy_in(PROBE_EXE, "C:\\e2e-tools\\setupapi_probe.exe")
    result = p.run(tool, list(args), timeout=60)
    check(result.code is not None, "setupapi_probe %s did not end" % " ".join(args))
    lines = []
    for raw in result.stdout.decode("latin-1").splitlines():
        parts = raw.split("\t")
        if len(parts) >= 3:
            lines.append((parts[0], int(parts[1]), int(parts[2]), parts[3] if len(parts) > 3 else ""))
    return lines


def answers(lines, what):
    return [l for l in lines if l[0] == what]


@case
def wine_setupapi_answers_for_each_call_of_the_device_passes():
    with Prefix("wine_setupapi", version="winxp") as p:
        p.plant(FIXTURE)
        listed = probe(p, "list")
        ids = [l[3].upper() for l in answers(listed, "device")]
        for device in PRODUCT_DEVICES + [OTHER_DEVICE]:
            check(device[len(ENUM):].upper() in ids,
                  "DIGCF_ALLCLASSES should list the planted, not attached %s; listed %r" % (device, ids))
        small = answers(listed, "hardwareid-small")
        check(small and all(l[1] == 0 and l[2] == 122 for l in small),
              "a hardware-id buffer too small should fail with ERROR_INSUFFICIENT_BUFFER: %r" % small)
        check(("hardwareid", 1, 0, "USB\\VID_FFFF&PID_0001&REV_0100&MI_00") in listed,
              "the first hardware id of the modem function should read back: %r" % answers(listed, "hardwareid"))
        check(("driver", 1, 0, MODEM + "\\0001") in listed,
              "SPDRP_DRIVER should give {class}\\NNNN: %r" % answers(listed, "driver"))

        present = probe(p, "present", PRODUCT_GUID)
        check_equal([("interfaces", 0, 259, "")], answers(present, "interfaces"),
                    "present interfaces of the product's class (no handset is attached under Wine)")

        key = probe(p, "classkey", MODEM, "0001")
        check_equal(("infpath", 0, 0, "oem7.inf"), answers(key, "infpath")[0],
                    "InfPath read through SetupDiOpenClassRegKeyExA and RegOpenKeyExA")
        missing = probe(p, "classkey", "{00000000-0000-0000-0000-000000000009}", "0001")
        check_equal(0, answers(missing, "openclasskey")[0][1],
                    "an unknown class key should give INVALID_HANDLE_VALUE")

        inf = probe(p, "inf", "C:\\windows\\inf\\oem7.inf")
        check_equal(("options", 1, 0, "uninstallable"), answers(inf, "options")[0], "TAVOOptions of oem7.inf")
        check_equal((0, 122), answers(inf, "options-small")[0][1:3], "a field larger than the buffer")
        check_equal(("model-section", 1, 0, "Models"), answers(inf, "model-section")[0], "model section")

        # The removal reopens the instances its inventory listed (host test
        # SetupApiSimTest.InstancesAreReopenedByIdIntoAnEmptySet holds the simulation to this).
        opened = probe(p, "open", "ROOT\\K440DTCR\\0000", "root\\k440dtcr\\0000", "ROOT\\K440DTCR\\0009")
        check_equal([("open", 1, 0), ("open", 1, 0), ("open", 0, 0xE000020B)],
                    [l[:3] for l in answers(opened, "open")],
                    "a non-present instance opens, again in any case, a missing one is ERROR_NO_SUCH_DEVINST")
        check_equal(["ROOT\\K440DTCR\\0000"], [l[3].upper() for l in answers(opened, "member")],
                    "an instance opened twice is one member")

        disabled = probe(p, "disable", "VID_FFFF")
        calls = answers(disabled, "dif_propertychange")
        check(calls and all(l[1] == 0 for l in calls),
              "Wine refuses DIF_PROPERTYCHANGE (devices are never disabled there): %r" % calls)

        removed = probe(p, "remove", "K440DTCR")
        check_equal(1, answers(removed, "dif_remove")[0][1], "DIF_REMOVE of ROOT\\K440DTCR")
        after = p.snapshot()
        check(not after.has_key(ENUM + "ROOT\\K440DTCR\\0000"), "DIF_REMOVE deletes the device key")
        check(not after.has_key(CLASS + PORTS + "\\0004"), "DIF_REMOVE deletes the driver key too")
        check(after.has_key(ENUM + "USB\\VID_FFFF&PID_0001&MI_00\\6&2f3a1b&0&0000"),
              "the other devices stay")


@case
def quiet_run_removes_the_product_devices_and_infs():
    with Prefix("nt_devices_quiet", version="winxp") as p:
        p.plant(FIXTURE)
        exe = p.install_product()
        before = p.snapshot()
        result = p.run_watched(exe, ["-quiet"], timeout=60)
        check(not result.timed_out, "the quiet run did not end: %r" % result)
        check(result.code in (0, 2), "exit code of -quiet: %r" % result.code)
        after = p.snapshot()
        for key in PRODUCT_DEVICES + PRODUCT_DRIVER_KEYS:
            check(before.has_key(key), "the fixture should plant %s" % key)
            check(not after.has_key(key), "%s should be gone" % key)
        for name in PRODUCT_FILES:
            check(after.file("C:\\windows\\inf\\" + name) is None, "C:\\windows\\inf\\%s should be gone" % name)
        check(after.has_key(MARKED_DRIVER_KEY),
              "Wine keeps a driver key with subkeys on DIF_REMOVE; where this fails, the "
              "Wine at hand deletes the software key whole, as Windows does")
        check(after.has_key(OTHER_DEVICE), "the other vendor's device stays")
        check(after.has_key(OTHER_DRIVER_KEY), "the other vendor's driver key stays")
        for name in OTHER_FILES:
            check_equal(before.file("C:\\windows\\inf\\" + name), after.file("C:\\windows\\inf\\" + name),
                        "C:\\windows\\inf\\%s is not the product's and stays unchanged" % name)
        diff = before.diff(after)
        unexpected = [k for k in diff.removed_keys
                      if not any(k.lower().startswith(x.lower()) for x in PRODUCT_DEVICES + PRODUCT_DRIVER_KEYS)]
        # Below Enum the platform also deletes the parent keys that the instances leave empty.
        emptied = [ENUM + "USB\\VID_FFFF&PID_0001&MI_00", ENUM + "USB\\VID_FFFF&PID_0001&MI_02",
                   ENUM + "ROOT\\K440DTCR"]
        unexpected = [k for k in unexpected if k.lower() not in [e.lower() for e in emptied]]
        check(not unexpected, "no other key may go: %r" % unexpected)
        check(not diff.removed_files or all(
            any(f.startswith("c:\\windows\\inf\\" + n) for n in PRODUCT_FILES) for f in diff.removed_files),
            "only the product's INF files may go: %r" % diff.removed_files)



main()
