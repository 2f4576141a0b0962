#!/usr/bin/env python3
"""The mirovant-offline command line: what it writes where, and its exit status.

Usage: offline_cli_test.py PATH/TO/mirovant-offline
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

TOOL = None

V5 = "Windows Registry Editor Version 5.00\r\n\r\n"
DESKTOP94 = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\{view}TOLV\\Desktop9.4]\r\n\"ProductName\"=\"{name}\"\r\n\r\n"
NOTHING = b"There are no Kavren 9.x products installed."


def utf16(text):
    return b"\xff\xfe" + text.encode("utf-16-le")


def desktop94(name="Kavren Desktop 9.4", view=""):
    return DESKTOP94.format(name=name, view=view)


class OfflineCli(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.dir.cleanup()

    def file(self, name, data):
        path = os.path.join(self.dir.name, name)
        with open(path, "wb") as out:
            out.write(data)
        return path

    def run_tool(self, *args, stdin=b""):
        return subprocess.run([TOOL, *args], input=stdin, capture_output=True, timeout=60)

    def test_report_goes_to_standard_output_or_a_file(self):
        export = self.file("m.reg", utf16(V5 + desktop94()))
        expected = b"Kavren Desktop 9.4\r\n\r\n"
        run = self.run_tool(export)
        self.assertEqual((run.returncode, run.stdout, run.stderr), (0, expected, b""))
        out = os.path.join(self.dir.name, "out.txt")
        run = self.run_tool("-o", out, export)
        self.assertEqual((run.returncode, run.stdout), (0, b""))
        with open(out, "rb") as written:
            self.assertEqual(written.read(), expected)
        run = self.run_tool("-", stdin=utf16(V5 + desktop94()))
        self.assertEqual((run.returncode, run.stdout), (0, expected))

    def test_nothing_installed_is_the_programs_own_text(self):
        run = self.run_tool(self.file("empty.reg", b"REGEDIT4\r\n"))
        self.assertEqual((run.returncode, run.stdout), (0, NOTHING))

    def test_later_exports_change_earlier_ones(self):
        first = self.file("1.reg", utf16(V5 + desktop94()))
        second = self.file("2.reg", (V5 + "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Desktop9.4]\r\n").encode())
        self.assertEqual(self.run_tool(first, second).stdout, NOTHING)
        self.assertEqual(self.run_tool(second, first).stdout, b"Kavren Desktop 9.4\r\n\r\n")

    def test_json_lists_the_same_entries(self):
        export = self.file("m.reg", utf16(
            V5 + desktop94("Kavren Desktop 9.4 \u00e9")
            + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\TOLV\\Desktop9.4\\Updates\\U1]\r\n\"Name\"=\"One\"\r\n"))
        run = self.run_tool("--format=json", export)
        self.assertEqual(run.returncode, 0)
        self.assertEqual(json.loads(run.stdout),
                         {"entries": [{"title": "Kavren Desktop 9.4 \u00e9", "lines": ["One"]}]})
        run = self.run_tool("--format", "json", self.file("empty.reg", b"REGEDIT4\r\n"))
        self.assertEqual(json.loads(run.stdout), {"entries": []})

    def test_code_page_of_the_report(self):
        export = self.file("m.reg", utf16(V5 + desktop94("Kavren Desktop 9.4 \u00e9 \u0100")))
        cases = [([], "\u00e9 ?".encode("cp1252")),
                 (["--codepage=1252"], "\u00e9 ?".encode("cp1252")),
                 (["--codepage", "utf-8"], "\u00e9 \u0100".encode("utf-8")),
                 (["--codepage=1251"], b"? ?")]
        for args, text in cases:
            run = self.run_tool(*args, export)
            self.assertEqual(run.stdout, b"Kavren Desktop 9.4 " + text + b"\r\n\r\n", args)

    def test_registry_views(self):
        # The 9.4 key is read in the 32-bit view: Wow6432Node on 64-bit Windows.
        export = self.file("m.reg", utf16(V5 + desktop94(view="Wow6432Node\\")))
        cases = [([], b"Kavren Desktop 9.4\r\n\r\n"), (["--wow64=yes"], b"Kavren Desktop 9.4\r\n\r\n"),
                 (["--wow64=no"], NOTHING)]
        for args, report in cases:
            self.assertEqual(self.run_tool(*args, export).stdout, report, args)

    def test_an_export_of_the_32_bit_view_is_pointed_out(self):
        export = self.file("m.reg", utf16(V5 + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Wow6432Node]\r\n"
                                          + desktop94()))
        run = self.run_tool(export)
        self.assertEqual((run.returncode, run.stdout), (0, b"Kavren Desktop 9.4\r\n\r\n"))
        self.assertIn(b"/reg:64", run.stderr)
        self.assertEqual(self.run_tool("--wow64=no", export).stderr, b"")

    def test_the_only_installer_user_is_taken_as_the_current_user(self):
        sid = "S-1-5-21-1-2-3-1000"
        key = ("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\"
               + sid + "\\Products\\3FA3FE8AE3F4F3E5DBA8E30CEB31D599]\r\n")
        export = self.file("m.reg", utf16(V5 + key))
        run = self.run_tool(export)
        self.assertEqual(run.returncode, 0)
        self.assertIn(sid.encode(), run.stderr)
        self.assertEqual(self.run_tool("--user-sid", sid, export).stderr, b"")

    def test_malformed_exports_name_the_file_and_line(self):
        bad = self.file("bad.reg", utf16(V5 + desktop94() + "\"SPNumber\"=dword:xyz\r\n"))
        out = os.path.join(self.dir.name, "out.txt")
        run = self.run_tool("-o", out, bad)
        self.assertEqual(run.returncode, 1)
        self.assertTrue(run.stderr.startswith(b"mirovant-offline: " + bad.encode() + b":6: "), run.stderr)
        self.assertFalse(os.path.exists(out), "no report from a failed read")
        run = self.run_tool("-", stdin=b"REGEDIT4\n\"A\"=\"1\"\n")
        self.assertTrue(run.stderr.startswith(b"mirovant-offline: (standard input):2: "), run.stderr)
        run = self.run_tool(os.path.join(self.dir.name, "missing.reg"))
        self.assertEqual(run.returncode, 1)
        self.assertIn(b"missing.reg", run.stderr)

    def test_command_line_errors_and_information(self):
        export = self.file("m.reg", b"REGEDIT4\r\n")
        for args in ([], ["--codepage=932", export], ["--wow64=maybe", export], ["--format=xml", export],
                     ["-", "-"], ["--no-such-option", export]):
            run = self.run_tool(*args)
            self.assertEqual(run.returncode, 2, args)
            self.assertNotEqual(run.stderr, b"", args)
        run = self.run_tool("--help")
        self.assertEqual(run.returncode, 0)
        for text in (b"reg export HKLM\\SOFTWARE", b"reg export HKCU\\Software\\Microsoft\\Installer",
                     b"--user-sid", b"--codepage", b"Exit status"):
            self.assertIn(text, run.stdout)
        run = self.run_tool("--version")
        self.assertEqual(run.returncode, 0)
        self.assertTrue(run.stdout.startswith(b"mirovant-offline "), run.stdout)

    def test_unwritable_output_fails(self):
        export = self.file("m.reg", b"REGEDIT4\r\n")
        run = self.run_tool("-o", os.path.join(self.dir.name, "no", "such", "dir", "out.txt"), export)
        self.assertEqual(run.returncode, 1)
        self.assertIn(b"out.txt", run.stderr)


if __name__ == "__main__":
    TOOL = os.path.abspath(sys.argv.pop(1))
    unittest.main()
