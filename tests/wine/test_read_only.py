#!/usr/bin/env python3
"""The program only reads: a silent run over the fullest machine leaves the
prefix's registry as it found it."""
import pe
import wineenv

SETTLE_SESSIONS = 4  # do-nothing sessions allowed before the registry settles


class ReadOnly(wineenv.PrefixTest):

    def snapshot_after(self, command, label):
        """Runs the command in a session of its own and gives the saved registry."""
        run = self.prefix.run(command, label)
        self.prefix.end_session()  # the server writes the registry files as it ends
        return run, self.prefix.registry_snapshot()

    def test_silent_run_writes_nothing_to_the_registry(self):
        self.prefix.load_machine("full")
        # The server is down at the end: put back the registry of the fresh
        # prefix, which holds no machine, without starting the prefix again.
        self.addCleanup(self.prefix.start_server)
        self.addCleanup(self.prefix.restore_registry)
        self.prefix.stop_server()

        # Wine writes parts of the registry as it starts, and as the DLLs the
        # program uses set themselves up; sessions of a program that loads
        # them and does nothing else show when that has settled.
        imports = pe.read_image(self.prefix.unix_path(wineenv.PROGRAM)).imports
        do_nothing = [wineenv.WINE, wineenv.PROGRAM_DIR + "\\start_and_end.exe", *imports]
        before = self.prefix.registry_snapshot()
        for _ in range(SETTLE_SESSIONS):
            run, after = self.snapshot_after(do_nothing, "do-nothing")
            self.assertEqual(run.status, 0, run.log_text())
            if after == before:
                break
            before = after
        else:
            self.fail("the registry changes in every session:\n" +
                      "\n".join(wineenv.registry_differences(before, after)))

        report = self.work_dir() / "report.txt"
        command = [wineenv.WINE, wineenv.PROGRAM, "/s", self.prefix.windows_path(report)]
        run, after = self.snapshot_after(command, "silent-run")
        self.assertEqual(run.status, 0, run.log_text())
        self.assertReport(report, self.prefix.expected_report("full"), run)
        differences = wineenv.registry_differences(before, after)
        self.assertFalse(differences, "\n".join(differences + [run.log_text()]))


if __name__ == "__main__":
    wineenv.main()
