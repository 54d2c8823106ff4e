"""The Wine benchmark's pure parts, without Wine: the generated machine must hold what it claims
(or the benchmark times a smaller machine than it prints, or SetupAPI skips devices whose
driver keys do not resolve), and the own-work arithmetic must pair each run with its figures
and with its round's empty run."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "e2e"))
from harnesslib import xp_machine  # noqa: E402
from harnesslib.bench_figures import size_figures  # noqa: E402
from harnesslib.registry_files import REG_MULTI_SZ, parse_reg_file  # noqa: E402

HKLM = "hkey_local_machine\\"


def generated_keys(scale, services_per_unit):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "machine.reg")
        with open(path, "w", encoding="ascii", newline="") as f:
            f.write(xp_machine.registry_text(scale, services_per_unit))
        return parse_reg_file(path)


def leaves_under(keys, tree, depth):
    """Keys exactly `depth` levels below the tree."""
    root = (HKLM + tree).lower().rstrip("\\")
    return [k for k in keys if k.startswith(root + "\\") and
            k[len(root) + 1:].count("\\") == depth - 1]


class GeneratedMachine(unittest.TestCase):
    def test_counts_scale_with_the_size(self):
        for scale, per_unit in ((1, 2000), (2, 500)):
            keys = generated_keys(scale, per_unit)
            count = xp_machine.sizes(scale, per_unit)
            self.assertEqual(per_unit * scale, count["services"])
            self.assertEqual(count["services"], len(leaves_under(keys, xp_machine.SERVICES, 1)))
            self.assertEqual(count["devices"], len(leaves_under(keys, xp_machine.ENUM, 3)))
            self.assertEqual(count["devices"], len(leaves_under(keys, xp_machine.CLASS, 2)))
            self.assertEqual(count["uninstall_records"],
                             len(leaves_under(keys, xp_machine.UNINSTALL, 1)))
            self.assertEqual(2 * count["inf_files"], len(set(
                p.lower() for p, _ in xp_machine.inf_files(scale))))

    def test_every_device_resolves_to_its_driver_key_and_inf(self):
        keys = generated_keys(2, 10)
        infs = set(p.lower() for p, _ in xp_machine.inf_files(2))
        devices = leaves_under(keys, xp_machine.ENUM, 3)
        for device in devices:
            values = keys[device].values
            # The harness's shape of a multi-string keeps every string's terminator but the
            # list's own.
            hardware_id = "\\".join(device.split("\\")[-3:-1]).upper()
            self.assertEqual((REG_MULTI_SZ, hardware_id + "\0"), values["hardwareid"][1:3])
            self.assertEqual(values["classguid"][2], values["driver"][2].split("\\")[0])
            driver = keys[(HKLM + xp_machine.CLASS + values["driver"][2]).lower()]
            inf = xp_machine.INF_FOLDER + driver.values["infpath"][2]
            self.assertIn(inf.lower(), infs)

    def test_names_stay_clear_of_the_driver_set_fixture(self):
        names = set(os.path.basename(p.lower()) for p, _ in xp_machine.inf_files(8))
        self.assertFalse(names & {"oem12.inf", "oem13.inf", "k440dtuc.inf"})


class OwnWork(unittest.TestCase):
    def test_medians_per_run_and_per_unit(self):
        # (wall, process CPU, server CPU) of the run, the empty program and the floor, per round.
        rounds = [((3.0, 1.0, 0.5), (0.2, 0.1, 0.0), (0.5, 0.2, 0.1)),
                  ((9.0, 0.5, 2.5), (0.4, 0.1, 0.1), (0.6, 0.6, 0.3)),
                  ((5.0, 2.0, 0.2), (0.3, 0.2, 0.1), (0.5, 0.4, 0.3))]
        figures = size_figures(rounds, 2)
        self.assertAlmostEqual(5.0, figures["run_wall"])
        self.assertAlmostEqual(2.2, figures["run_cpu"])      # median of 1.5, 3.0, 2.2
        self.assertAlmostEqual(0.2, figures["empty_cpu"])    # median of 0.1, 0.2, 0.3
        self.assertAlmostEqual(4.7, figures["own_wall"])
        self.assertAlmostEqual(2.0, figures["own_cpu"])
        self.assertAlmostEqual(1.0, figures["own_cpu_per_unit"])
        self.assertAlmostEqual((1.0 - 0.1) / 2, figures["own_process_per_unit"])
        self.assertAlmostEqual(0.7 - 0.2, figures["floor_own_cpu"])  # median of 0.3, 0.9, 0.7
        # Each round against its own empty run: 1.4 / 0.2, 2.8 / 0.7, 1.9 / 0.4.
        self.assertAlmostEqual(4.75, figures["own_to_floor"])


if __name__ == "__main__":
    unittest.main()
