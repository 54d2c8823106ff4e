"""Start-up of the real program: the refused Windows versions, switch parsing and -ensure_win."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from harness import Prefix, case, check, check_equal, main  # noqa: E402


def refused_with_failure_box(version):
    with Prefix("refused_" + version, version=version) as p:
        exe = p.install_product()
        result = p.run_watched(exe, ["-quiet"], timeout=30)
        check(not result.timed_out, "the run on %s did not end: %r" % (version, result))
        check_equal(9, result.code, "exit code of -quiet on %s" % version)
        check_equal(1, len(result.boxes), "boxes shown on %s (%r)" % (version, result.boxes))
        box = result.boxes[0]
        check(box.text.endswith(" (9)"),
              "the failure box's text should end in ' (9)', it is %r" % box.text)
        check(box.answer is not None, "the failure box was not answered: %r" % box)


@case
def refused_on_win95():
    refused_with_failure_box("win95")


@case
def refused_on_nt40():
    refused_with_failure_box("nt40")


def quiet_run_on_xp(name, args):
    with Prefix(name, version="winxp") as p:
        exe = p.install_product()
        result = p.run_watched(exe, args, timeout=30)
        check(not result.timed_out, "%s did not end: %r" % (" ".join(args), result))
        return result


@case
def unknown_switch_gives_8():
    result = quiet_run_on_xp("unknown_switch", ["-quiet", "-bogus"])
    check_equal(8, result.code, "exit code of -quiet -bogus on winxp")


@case
def ensure_other_windows_gives_10():
    result = quiet_run_on_xp("ensure_winme", ["-quiet", "-ensure_winme"])
    check_equal(10, result.code, "exit code of -quiet -ensure_winme on winxp")


@case
def ensure_running_windows_passes_the_parse():
    result = quiet_run_on_xp("ensure_winxp", ["-quiet", "-ensure_winxp"])
    check(result.code not in (8, 10, None),
          "-quiet -ensure_winxp on winxp should pass the parse (neither 8 nor 10), exit code %r"
          % result.code)


main()
