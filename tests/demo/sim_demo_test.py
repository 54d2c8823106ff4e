"""The simulated demo: on each planted driver set the quiet run's removals, the restart's and
what must stay are listed where the sections say."""
import subprocess
import sys


def sections(output):
    """{section title: [entry lines]} of the demo's output."""
    out, current = {}, None
    for line in output.splitlines():
        if line.startswith("  ") and current is not None:
            out[current].append(line.strip())
        elif line.endswith(")") and " (" in line:
            current = line[:line.rindex(" (")]
            out[current] = []
        else:
            current = None
    return out


def check(condition, message):
    if not condition:
        print("FAILED: " + message)
        sys.exit(1)


def run(demo, version, fixtures):
    done = subprocess.run([demo, version] + fixtures, capture_output=True, text=True, timeout=120)
    check(done.returncode == 0, "%s ended with %d: %s" % (version, done.returncode, done.stderr))
    check("exit code: 2 " in done.stdout, "%s: the quiet run should end with 2:\n%s" % (version, done.stdout))
    return sections(done.stdout)


def main():
    demo, source = sys.argv[1], sys.argv[2]
    xp = run(demo, "winxp", [source + "/tests/fixtures/nt-driver-set",
                             source + "/e2e/fixtures/nt-devices"])
    removed, kept = xp["Removed by the program"], xp["Still there of what was planted"]
    for entry in ("file  C:\\WINDOWS\\system32\\drivers\\K440dTuc.sys",
                  "file  C:\\WINDOWS\\inf\\oem7.inf",
                  "key   HKLM\\System\\CurrentControlSet\\Services\\K440dTuc"):
        check(entry in removed, "XP: %r should be removed by the program" % entry)
    for entry in ("file  C:\\Temp\\K440dTuc.sys", "key   HKLM\\System\\CurrentControlSet\\Services\\K440dTucOld",
                  "key   HKLM\\System\\CurrentControlSet\\Enum\\USB"):
        check(entry in kept, "XP: the look-alike %r should still be there" % entry)
    aside = "file  C:\\Program Files\\halvenor\\K440dT\\K440dT_del0.tmp"
    check(aside in xp["Added by the program"] and aside in xp["Removed by the restart"],
          "XP: the running program's file is set aside and goes at the restart")

    me = run(demo, "winme", [source + "/tests/fixtures/legacy-driver-set"])
    check("key   HKLM\\Enum\\Root\\K440dTCR" in me["Removed by the program"],
          "ME: the device-tree key should be removed")
    check("key   HKLM\\Enum\\Root\\K440dTCRX" in me["Still there of what was planted"],
          "ME: the look-alike device-tree key should stay")
    check("file  C:\\WINDOWS\\wininit.ini" in me["Removed by the restart"],
          "ME: the restart carries out wininit.ini")
    print("simulated demo: passed")


if __name__ == "__main__":
    main()
