"""A generated Windows XP machine of a given size, for benchmarks under Wine: unrelated
services, device instances with their driver keys, OEM INF files with their PNF twins and
uninstall records, as a REGEDIT4 text (imported with one regedit call) and a list of files.

Per unit (a typical machine): UNIT below. The names stay clear of the driver set's and of the
nt-driver-set fixture's look-alikes (its INFs are oem12/oem13, the generated ones start at
oem1000), so the generated machine is everything a quiet run must leave alone."""

UNIT = {"services": 2000, "devices": 300, "inf_files": 1500, "uninstall_records": 100}

SERVICES = "System\\CurrentControlSet\\Services\\"
ENUM = "System\\CurrentControlSet\\Enum\\"
CLASS = "System\\CurrentControlSet\\Control\\Class\\"
UNINSTALL = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
INF_FOLDER = "C:\\windows\\inf\\"
FIRST_INF = 1000
# Devices alternate between the modem and the ports class, as a handset's do.
CLASSES = (("Modem", "{4D36E96D-E325-11CE-BFC1-08002BE10318}"),
           ("Ports", "{4D36E978-E325-11CE-BFC1-08002BE10318}"))


def sizes(scale, services_per_unit=UNIT["services"]):
    """{what: count} of a machine of `scale` units."""
    out = {what: n * scale for what, n in UNIT.items()}
    out["services"] = services_per_unit * scale
    return out


def _quote(text):
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def _multi_sz(strings):
    data = b"".join(s.encode("ascii") + b"\0" for s in strings) + b"\0"
    return "hex(7):" + ",".join("%02x" % b for b in data)


def _key(lines, path, values):
    lines.append("[HKEY_LOCAL_MACHINE\\%s]" % path)
    for name, value in values:
        if isinstance(value, int):
            lines.append("%s=dword:%08x" % (_quote(name), value))
        elif isinstance(value, list):
            lines.append("%s=%s" % (_quote(name), _multi_sz(value)))
        else:
            lines.append("%s=%s" % (_quote(name), _quote(value)))
    lines.append("")


def hardware_id(n):
    return "USB\\VID_1234&PID_%04X" % n


def device_instance(n):
    return ENUM + hardware_id(n) + "\\5&%X&0&%d" % (0x1000 + n, n % 8)


def driver_key(n):
    """The class and the driver key (under the class key) of device n."""
    class_name, guid = CLASSES[n % 2]
    return class_name, guid, "%s\\%04d" % (guid, 16 + n // 2)


def inf_name(n):
    return "oem%d.inf" % (FIRST_INF + n)


def registry_text(scale, services_per_unit=UNIT["services"]):
    """The machine's registry as a REGEDIT4 file's text."""
    count = sizes(scale, services_per_unit)
    lines = ["REGEDIT4", ""]
    for n in range(count["services"]):
        _key(lines, SERVICES + "Service%d" % n, [
            ("DisplayName", "Service %d" % n), ("ErrorControl", 1), ("Start", 3), ("Type", 1),
            ("ImagePath", "System32\\DRIVERS\\svc%d.sys" % n)])
    for n in range(count["devices"]):
        class_name, guid, driver = driver_key(n)
        _key(lines, device_instance(n), [
            ("DeviceDesc", "Device %d" % n), ("HardwareID", [hardware_id(n)]),
            ("CompatibleIDs", ["USB\\Class_02"]), ("Class", class_name), ("ClassGUID", guid),
            ("Driver", driver), ("Mfg", "Other Corp"), ("Service", "Service%d" % n),
            ("ConfigFlags", 0)])
        _key(lines, CLASS + driver, [
            ("InfPath", inf_name(n)), ("InfSection", "Install"), ("ProviderName", "Other Corp"),
            ("DriverDesc", "Device %d" % n), ("MatchingDeviceId", hardware_id(n).lower()),
            ("DriverVersion", "1.0.0.%d" % n)])
    for n in range(count["uninstall_records"]):
        _key(lines, UNINSTALL + "Application %d" % n, [
            ("DisplayName", "Application %d" % n), ("Publisher", "Other Corp"),
            ("UninstallString", "C:\\Program Files\\App%d\\uninst.exe" % n)])
    return "\r\n".join(lines) + "\r\n"


def inf_files(scale):
    """[(Windows path, content)] of the machine's OEM INFs and their PNF twins."""
    out = []
    for n in range(sizes(scale)["inf_files"]):
        stem = INF_FOLDER + inf_name(n)[:-4]
        text = ('[Version]\r\nSignature="$Windows NT$"\r\nClass=%s\r\nClassGuid=%s\r\n'
                'Provider=%%M%%\r\n[Manufacturer]\r\n%%M%%=Models\r\n[Models]\r\n'
                '%%D%%=Install,%s\r\n[Strings]\r\nM="Other Corp"\r\nD="Device %d"\r\n'
                % (CLASSES[n % 2] + (hardware_id(n), n)))
        out.append((stem + ".inf", text.encode("ascii")))
        out.append((stem + ".PNF", b"pnf %d" % n))
    return out
