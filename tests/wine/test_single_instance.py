#!/usr/bin/env python3
"""A second copy of the program, started while another holds the mutex
"Mirovant931", ends at once with status 1 and writes nothing, whatever its
command line."""
import time

import wineenv

READY_LIMIT = 60  # seconds for the holder to take the mutex


class SecondCopy(wineenv.PrefixTest):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.prefix.clear_machine()

    def hold_mutex(self, folder):
        """Starts the tests' holder of the mutex and waits until it holds it;
        it lets go when the test ends."""
        ready, release = folder / "holding", folder / "release"
        holder = self.prefix.start([wineenv.WINE, wineenv.PROGRAM_DIR + "\\hold_mutex.exe",
                                    self.prefix.windows_path(ready), self.prefix.windows_path(release)],
                                   "hold-mutex")

        def let_go():
            release.touch()
            holder.finish()
        self.addCleanup(let_go)
        deadline = time.monotonic() + READY_LIMIT
        while not ready.exists():
            self.assertTrue(holder.running(), "the holder ended early\n" + wineenv.Run(-1, holder.log).log_text())
            self.assertLess(time.monotonic(), deadline, "the holder did not take the mutex in time")
            time.sleep(0.1)
        return release, holder

    def test_second_copy_does_nothing_while_the_first_runs(self):
        folder = self.work_dir()
        report = folder / "report.txt"
        release, holder = self.hold_mutex(folder)

        cases = {
            "silent run": ["/s", self.prefix.windows_path(report)],
            "refused command line": ["/S"],
            "main window": [],
        }
        for case, arguments in cases.items():
            with self.subTest(case):
                run = self.prefix.run_program(*arguments, label="second-copy")
                self.assertEqual(run.status, 1, run.log_text())
                self.assertFalse(report.exists(), run.log_text())

        # Once the first copy has ended, the mutex is free again.
        release.touch()
        self.assertEqual(holder.finish().status, 0)
        run = self.prefix.run_program("/s", self.prefix.windows_path(report), label="after-first")
        self.assertEqual(run.status, 0, run.log_text())
        self.assertTrue(report.exists(), run.log_text())


if __name__ == "__main__":
    wineenv.main()
