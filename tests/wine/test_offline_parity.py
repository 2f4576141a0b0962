#!/usr/bin/env python3
"""mirovant-offline against the live program: on every fixture machine, the
report the offline tool writes from the prefix's own registry exports equals,
byte for byte, the report Mirovant931.exe wrote on that machine.

The offline tool is the native build's (MIROVANT_OFFLINE, by default
build/native/mirovant-offline); tools/test.sh builds it before these tests."""
import os
import pathlib
import subprocess

import wineenv

OFFLINE = pathlib.Path(os.environ.get(
    "MIROVANT_OFFLINE", wineenv.REPOSITORY / "build" / "native" / "mirovant-offline"))

# The prefix user's SID, whose per-user products are the current user's.
PREFIX_USER_SID = "S-1-5-21-0-0-0-1000"


def machine_names():
    return sorted(path.parent.name for path in wineenv.MACHINES.glob("*/machine.py"))


class OfflineParity(wineenv.PrefixTest):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        if not OFFLINE.exists():
            raise FileNotFoundError("%s is missing: build the native preset first" % OFFLINE)

    @classmethod
    def tearDownClass(cls):
        cls.prefix.clear_machine()

    def export(self, key, reg_file):
        """`reg export` of one key; False when the key does not exist."""
        # In a 64-bit prefix the 32-bit reg.exe sees only the 32-bit view of
        # SOFTWARE; the 64-bit one exports both, with Wow6432Node, as a
        # support engineer's `reg export /reg:64` on 64-bit Windows does.
        reg = wineenv.WINE64 if self.prefix.wow64 else wineenv.WINE
        run = self.prefix.run([reg, "reg", "export", key, self.prefix.windows_path(reg_file), "/y"],
                              "export-" + reg_file.stem)
        return run.status == 0 and reg_file.exists()

    def check_machine(self, name):
        self.prefix.load_machine(name)
        folder = self.work_dir()
        live = folder / "live.txt"
        run = self.prefix.run_program("/s", self.prefix.windows_path(live), label="parity-" + name)
        self.assertEqual(run.status, 0, run.log_text())
        self.assertTrue(live.exists(), run.log_text())

        exports = [folder / "machine.reg"]
        self.assertTrue(self.export(r"HKLM\SOFTWARE", exports[0]), "HKLM\\SOFTWARE did not export")
        user = folder / "user.reg"
        if self.export(r"HKCU\Software\Microsoft\Installer", user):
            exports.append(user)

        offline = folder / "offline.txt"
        result = subprocess.run([str(OFFLINE), "--user-sid", PREFIX_USER_SID, "-o", str(offline),
                                 *map(str, exports)],
                                capture_output=True, text=True, timeout=wineenv.COMMAND_LIMIT)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertReport(offline, live.read_bytes(), run)


# One test per machine folder: test_machine_empty, test_machine_full ...
for _name in machine_names():
    setattr(OfflineParity, "test_machine_" + _name,
            lambda self, name=_name: self.check_machine(name))


if __name__ == "__main__":
    wineenv.main()
