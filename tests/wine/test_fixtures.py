#!/usr/bin/env python3
"""The fixture machines are whole: their registry files are what
make_machine.py makes of their descriptions (with the catalogues' product
codes as they stand), and each has its expected reports as Windows writes
text files."""
import unittest

import make_machine
import wineenv


class Fixtures(unittest.TestCase):

    def test_registry_files_are_up_to_date(self):
        codes = make_machine.catalogue_codes()
        for folder in make_machine.machine_folders():
            for path, data in make_machine.machine_files(folder, codes).items():
                with self.subTest(path.relative_to(wineenv.MACHINES)):
                    self.assertTrue(path.exists() and path.read_bytes() == data,
                                    "stale: run tests/wine/make_machine.py and commit the result")

    def test_every_machine_has_expected_reports_with_cr_lf(self):
        for folder in make_machine.machine_folders():
            for arch in wineenv.ARCHES:
                with self.subTest(machine=folder.name, arch=arch):
                    own = folder / ("report-%s.txt" % arch)
                    report = (own if own.exists() else folder / "report.txt").read_bytes()
                    self.assertNotIn(b"\n", report.replace(b"\r\n", b""), "a line end without CR")
                    self.assertNotIn(b"\r", report.replace(b"\r\n", b""), "a CR without a line feed")


if __name__ == "__main__":
    unittest.main(verbosity=2)
