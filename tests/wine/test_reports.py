#!/usr/bin/env python3
"""The silent report of each fixture machine (machines/*), byte for byte, in
the prefix of this run: a 64-bit prefix, where the program runs under WOW64
and sees both registry views, or a 32-bit one, with one view."""
import wineenv


def machine_names():
    return sorted(path.parent.name for path in wineenv.MACHINES.glob("*/machine.py"))


class SilentReport(wineenv.PrefixTest):

    @classmethod
    def tearDownClass(cls):
        cls.prefix.clear_machine()

    def check_machine(self, name):
        self.prefix.load_machine(name)
        report = self.work_dir() / "report.txt"
        run = self.prefix.run_program("/s", self.prefix.windows_path(report), label="report-" + name)
        self.assertEqual(run.status, 0, run.log_text())
        self.assertReport(report, self.prefix.expected_report(name), run)


# One test per machine folder: test_machine_empty, test_machine_full ...
for _name in machine_names():
    setattr(SilentReport, "test_machine_" + _name,
            lambda self, name=_name: self.check_machine(name))


if __name__ == "__main__":
    wineenv.main()
