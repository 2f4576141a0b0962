#!/usr/bin/env python3
"""The silent run's command line under Wine: where the report goes, and the
exit status when it cannot be written or the command line is refused."""
import wineenv

NO_PRODUCTS = wineenv.MACHINES / "empty" / "report.txt"


class CommandLine(wineenv.PrefixTest):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.prefix.clear_machine()

    def test_switch_alone_writes_mirovant_txt_in_temp(self):
        temp = self.prefix.temp_dir()
        report = self.prefix.unix_path(temp + "\\Mirovant.txt")
        if report.exists():
            report.unlink()
        self.addCleanup(lambda: report.unlink() if report.exists() else None)
        run = self.prefix.run_program("/s", label="default-name")
        self.assertEqual(run.status, 0, run.log_text())
        self.assertReport(report, NO_PRODUCTS.read_bytes(), run)

    def test_relative_name_is_taken_in_the_current_folder(self):
        folder = self.work_dir()
        run = self.prefix.run_program("/s", "report.txt", label="relative-name", cwd=folder)
        self.assertEqual(run.status, 0, run.log_text())
        self.assertReport(folder / "report.txt", NO_PRODUCTS.read_bytes(), run)

    def test_existing_report_is_replaced(self):
        report = self.work_dir() / "report.txt"
        report.write_bytes(b"an older, longer report\r\n" * 10)
        run = self.prefix.run_program("/s", self.prefix.windows_path(report), label="replace")
        self.assertEqual(run.status, 0, run.log_text())
        self.assertReport(report, NO_PRODUCTS.read_bytes(), run)

    def test_name_that_cannot_be_opened_gives_status_3_and_no_file(self):
        folder = self.work_dir()
        windows_folder = self.prefix.windows_path(folder)
        cases = {
            # Wine quotes an argument holding a space: the program gets the
            # name with its double quotes, which no Windows file name holds.
            "quoted name": windows_folder + "\\a b.txt",
            "missing folder": windows_folder + "\\missing\\report.txt",
        }
        for case, name in cases.items():
            with self.subTest(case):
                run = self.prefix.run_program("/s", name, label=case)
                self.assertEqual(run.status, 3, run.log_text())
                self.assertEqual(sorted(folder.iterdir()), [], run.log_text())

    def test_refused_command_line_gives_status_2_and_no_report(self):
        folder = self.work_dir()
        name = self.prefix.windows_path(folder / "report.txt")
        cases = {
            "Usage: a file name alone": [name],
            "Usage: /S in upper case": ["/S"],
            "Usage: a word without the switch and a name": ["report", name],
            "Syntax: a name with a space, not quoted": ["/s", name[:-4], "new.txt"],
            "Syntax: three words, the first without the switch": ["report", name[:-4], "new.txt"],
        }
        temp_report = self.prefix.unix_path(self.prefix.temp_dir() + "\\Mirovant.txt")
        if temp_report.exists():
            temp_report.unlink()
        for case, arguments in cases.items():
            with self.subTest(case):
                run = self.prefix.run_program(*arguments, label=case.split(":")[0])
                self.assertEqual(run.status, 2, run.log_text())
                self.assertEqual(sorted(folder.iterdir()), [], run.log_text())
                self.assertFalse(temp_report.exists(), "a report in %TEMP%\n" + run.log_text())


if __name__ == "__main__":
    wineenv.main()
