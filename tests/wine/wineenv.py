#!/usr/bin/env python3
"""The Wine side of the end-to-end tests: prefixes, fixture machines, runs.

A test file uses it like this:

    import wineenv

    class Reports(wineenv.PrefixTest):          # self.prefix: the prefix of this run
        def test_empty_machine(self):
            self.prefix.load_machine("empty")
            report = self.work_dir() / "report.txt"   # a Unix path inside drive_c
            run = self.prefix.run_program("/s", self.prefix.windows_path(report))
            self.assertEqual(run.status, 0, run.log_text())

Prefixes. There is one 64-bit ("win64") and one 32-bit ("win32") prefix, under
wine/ in the build folder (MIROVANT_BUILD_DIR, by default build/windows). A
prefix is slow to make: about 40 s for the 64-bit one and 2 minutes for the
32-bit one, which runs wholly under qemu-i386 on a machine without 32-bit
support. So `wineenv.py setup ARCH` (the CTest set-up test of each kind) makes
it once and keeps it: a later run finds it by its stamp and only puts back its
pristine registry. Every test reuses it; `wineenv.py stop ARCH` ends its
server after the last test. A test file runs in the prefix named by
MIROVANT_WINE_ARCH (default win64).

The program under test runs from C:\\Mirovant931 in the prefix, beside the
tests' own programs (helpers/) and msi.dll (msishim/msishim.cpp: two Wine 8
msi.dll faults), with Wine's own msi.dll renamed winemsi.dll; `setup` copies
them there from the build folder.

Machines. machines/<name>/ holds a machine's registry for each kind of prefix
(win64.reg, win32.reg, made by make_machine.py) and its expected reports.
`load_machine` imports one; every machine file first deletes every key a
machine may write, so loading a machine replaces the previous one, and
`clear_machine` leaves none. That takes 0.2 s in the 64-bit prefix and 2 s in
the 32-bit one. Putting back saved registry files instead needs the server
stopped, and the next command then starts the prefix's services again: 1.5 s
in the 64-bit prefix, 8 to 40 s in the 32-bit one. So `setup` does that once
per run, and machines are switched by deletion.

Registry. `registry_snapshot` reads the saved registry files without what Wine
rewrites on every start (see read_registry_file); `registry_differences`
lists what differs between two snapshots. The server writes the files when it
ends: stop it first.

Environment of every Wine command: WINEPREFIX, WINEARCH, WINEDEBUG (the
caller's, or "fixme-all"), WINEDLLOVERRIDES (see DLL_OVERRIDES),
QEMU_RESERVED_VA (32-bit Wine under qemu-i386 needs a 2 GB guest address space
to start in a second rather than 45 s), and no DISPLAY unless one is asked for
(`display=`): without one, MessageBoxA fails at once instead of waiting for a
click. Every command's output goes to a log file under wine/logs (never a
pipe: Wine's background processes keep it open), and every wait has a time
limit; `start` runs a command alongside the test, `Started.finish` ends it.
"""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import time
import unittest
from dataclasses import dataclass
from typing import Dict, List, Optional, Sequence

import make_machine

HERE = pathlib.Path(__file__).resolve().parent
REPOSITORY = HERE.parent.parent
MACHINES = HERE / "machines"

ARCHES = ("win64", "win32")
WINE = "wine"                        # runs 32-bit programs (the program under test)
WINE64 = "/usr/lib/wine/wine64"      # runs 64-bit programs; not on PATH in Debian 12
WINESERVER = "wineserver"
# No Mono or Gecko prompt, no menu builder, no debugger (a crash ends the
# process with an error in the log; the debugger would run under qemu), and
# the msi.dll beside the program first.
DLL_OVERRIDES = "mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d;msi=n,b"
QEMU_RESERVED_VA = "0x7fff0000"

PROGRAM_DIR = "C:\\Mirovant931"      # where the program under test runs from
PROGRAM = PROGRAM_DIR + "\\Mirovant931.exe"
WORK_DIR = "C:\\tests"               # files the tests make; emptied by setup

# Time limits, in seconds: generous for qemu, short enough for CI.
MAKE_PREFIX_LIMIT = 600
COMMAND_LIMIT = 120
SERVER_LIMIT = 60

# The server stays up between the commands of a run, so the prefix's services
# start once; it ends by itself this long after its last client, should the
# run be cut short before `stop`.
SERVER_PERSISTENCE = 300

STAMP_FORMAT = "3"  # raise when the way prefixes are made changes

# Services that a 32-bit prefix starts with every server, and that nothing here
# uses: device, network, mount and event-log services. Under qemu-i386 their
# 32-bit drivers crash (MountMgr always), and each costs seconds to start, so a
# 32-bit prefix's first command took 10 to 40 s; without them, about 8 s.
SERVICES_OFF_IN_WIN32 = ("Eventlog", "MountMgr", "NDIS", "nsiproxy", "PlugPlay", "winebus", "wineusb")


def build_dir() -> pathlib.Path:
    return pathlib.Path(os.environ.get("MIROVANT_BUILD_DIR", REPOSITORY / "build" / "windows")).resolve()


def wine_root() -> pathlib.Path:
    return build_dir() / "wine"


def wine_version() -> str:
    return subprocess.run([WINE, "--version"], capture_output=True, text=True,
                          timeout=COMMAND_LIMIT, check=True).stdout.strip()


class WineError(Exception):
    """A Wine command failed or did not end in time; the message holds its log."""


@dataclass
class Run:
    """A finished command: its exit status and the file holding its output."""
    status: int
    log: pathlib.Path

    def log_text(self, last_lines: int = 60) -> str:
        """The end of the log, for a failure message."""
        lines = self.log.read_text(errors="replace").splitlines() if self.log.exists() else []
        shown = lines[-last_lines:]
        cut = "(%d lines before)\n" % (len(lines) - len(shown)) if len(lines) > len(shown) else ""
        return "wine log %s:\n%s%s" % (self.log, cut, "\n".join(shown) if shown else "(empty)")


class Started:
    """A command still running (see Prefix.start). Always end it with `finish`."""

    def __init__(self, process: subprocess.Popen, log: pathlib.Path, prefix: "Prefix"):
        self.process = process
        self.log = log
        self.prefix = prefix

    def running(self) -> bool:
        return self.process.poll() is None

    def finish(self, limit: float = COMMAND_LIMIT) -> Run:
        """Waits for the command; past the limit, kills it and ends the prefix's server."""
        try:
            status = self.process.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(timeout=SERVER_LIMIT)
            self.prefix.stop_server()
            raise WineError("%s did not end within %s s\n%s" % (
                self.process.args, limit, Run(-1, self.log).log_text()))
        return Run(status, self.log)


class Prefix:
    """One Wine prefix and the commands run in it."""

    def __init__(self, arch: str, path: Optional[pathlib.Path] = None):
        if arch not in ARCHES:
            raise ValueError("arch must be one of %s" % (ARCHES,))
        self.arch = arch
        self.path = pathlib.Path(path) if path else wine_root() / arch
        self.pristine = self.path.with_name(self.path.name + ".pristine")  # the fresh *.reg files
        self.logs = self.path.with_name("logs") / self.path.name
        self.stamp = self.path / "mirovant-prefix-stamp"
        self._runs = 0
        self._temp: Optional[str] = None

    # --- environment and commands -------------------------------------------

    @property
    def wow64(self) -> bool:
        """Whether a 32-bit program runs under WOW64 here (IsWow64Process)."""
        return self.arch == "win64"

    @property
    def dll_dir(self) -> pathlib.Path:
        """Where the prefix keeps the DLLs of 32-bit programs."""
        return self.path / "drive_c" / "windows" / ("syswow64" if self.wow64 else "system32")

    def environment(self, display: Optional[str] = None) -> Dict[str, str]:
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        env.update(WINEPREFIX=str(self.path), WINEARCH=self.arch,
                   WINEDEBUG=os.environ.get("WINEDEBUG", "fixme-all"),
                   WINEDLLOVERRIDES=DLL_OVERRIDES, QEMU_RESERVED_VA=QEMU_RESERVED_VA)
        if display:
            env["DISPLAY"] = display
        return env

    def log_file(self, label: str) -> pathlib.Path:
        self.logs.mkdir(parents=True, exist_ok=True)
        self._runs += 1
        name = "%s-%03d-%s.log" % (time.strftime("%H%M%S"), self._runs,
                                   "".join(c if c.isalnum() else "-" for c in label)[:60])
        return self.logs / name

    def start(self, command: Sequence[str], label: str, display: Optional[str] = None,
              cwd: Optional[pathlib.Path] = None) -> Started:
        """Starts a command in the prefix without waiting for it. A Unix `cwd`
        inside drive_c is the Windows program's current folder on C:."""
        log = self.log_file(label)
        with open(log, "wb") as output:
            process = subprocess.Popen(list(command), env=self.environment(display), cwd=cwd or self.path,
                                       stdin=subprocess.DEVNULL, stdout=output, stderr=subprocess.STDOUT)
        return Started(process, log, self)

    def run(self, command: Sequence[str], label: str, limit: float = COMMAND_LIMIT,
            display: Optional[str] = None, cwd: Optional[pathlib.Path] = None) -> Run:
        return self.start(command, label, display, cwd).finish(limit)

    def run_checked(self, command: Sequence[str], label: str, limit: float = COMMAND_LIMIT) -> Run:
        run = self.run(command, label, limit)
        if run.status != 0:
            raise WineError("%s ended with status %d\n%s" % (list(command), run.status, run.log_text()))
        return run

    def run_program(self, *arguments: str, label: str = "Mirovant931", limit: float = COMMAND_LIMIT,
                    display: Optional[str] = None, cwd: Optional[pathlib.Path] = None) -> Run:
        """Runs the program under test with these arguments and waits for it.

        Wine joins the arguments into the command line, putting double quotes
        around an argument that holds a space: ("/s", "C:\\a b.txt") gives
        the command line /s "C:\\a b.txt", and ("/s", "C:\\a", "b.txt") gives
        /s C:\\a b.txt."""
        return self.run([WINE, PROGRAM, *arguments], label, limit, display, cwd)

    def start_program(self, *arguments: str, label: str = "Mirovant931",
                      display: Optional[str] = None) -> Started:
        return self.start([WINE, PROGRAM, *arguments], label, display)

    # --- paths ----------------------------------------------------------------

    def unix_path(self, windows_path: str) -> pathlib.Path:
        """C:\\x\\y -> <prefix>/drive_c/x/y; Z:\\x -> /x."""
        drive, _, rest = windows_path.partition(":")
        parts = [part for part in rest.split("\\") if part]
        if drive.upper() == "C":
            return self.path.joinpath("drive_c", *parts)
        if drive.upper() == "Z":
            return pathlib.Path("/", *parts)
        raise ValueError("no mapping for " + windows_path)

    def windows_path(self, unix_path: pathlib.Path) -> str:
        """The inverse of unix_path: C: for drive_c, Z: for the rest."""
        unix_path = pathlib.Path(unix_path).absolute()
        drive_c = self.path / "drive_c"
        if unix_path == drive_c or drive_c in unix_path.parents:
            return "C:\\" + "\\".join(unix_path.relative_to(drive_c).parts)
        return "Z:" + str(unix_path).replace("/", "\\")

    def work_dir(self, name: str) -> pathlib.Path:
        """A fresh, empty folder for one test's files, as a Unix path under C:\\tests."""
        folder = self.unix_path(WORK_DIR + "\\" + name)
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        return folder

    def temp_dir(self) -> str:
        """The prefix's %TEMP%, as Windows programs see it (asked once)."""
        if self._temp is None:
            out = self.unix_path(WORK_DIR + "\\temp-of-prefix.txt")
            out.parent.mkdir(parents=True, exist_ok=True)
            self.run_checked([WINE, "cmd", "/c", "echo %TEMP%>" + self.windows_path(out)], "temp")
            self._temp = out.read_text(errors="replace").strip()
            out.unlink()
        return self._temp

    # --- the server -------------------------------------------------------------

    def start_server(self) -> None:
        """Starts the prefix's server, kept up between commands (see
        SERVER_PERSISTENCE). A server that a command started by itself ends
        soon after the command; it is replaced."""
        command = [WINESERVER, "-p%d" % SERVER_PERSISTENCE]
        if self.run(command, "wineserver-start", SERVER_LIMIT).status != 0:
            self.stop_server()
            self.run_checked(command, "wineserver-start", SERVER_LIMIT)

    def stop_server(self) -> None:
        """Ends every process of the prefix and its server, which first saves the
        registry files."""
        self.run([WINESERVER, "-k"], "wineserver-stop", SERVER_LIMIT)
        self.run([WINESERVER, "-w"], "wineserver-wait", SERVER_LIMIT)

    def end_session(self) -> None:
        """Waits for a server that no one asked to stay (one that a command
        started) to end by itself, once the prefix's programs have ended and
        Wine has done what it started with them, such as setting up devices;
        past SERVER_LIMIT, ends it. The registry files are written either way.
        Ending the server at once instead can cut such work short, to be done
        again, with its registry writes, in a later session."""
        waiting = self.start([WINESERVER, "-w"], "wineserver-wait")
        try:
            waiting.process.wait(timeout=SERVER_LIMIT)
        except subprocess.TimeoutExpired:
            waiting.process.kill()
            waiting.process.wait(timeout=SERVER_LIMIT)
            self.stop_server()

    # --- machines ---------------------------------------------------------------

    def machine_file(self, name: str) -> pathlib.Path:
        return MACHINES / name / (self.arch + ".reg")

    def import_registry(self, reg_file: pathlib.Path, label: str) -> None:
        # A 64-bit prefix takes the machine with the 64-bit reg.exe: the 32-bit
        # one deletes keys in the 32-bit view only, whatever /reg:64 says.
        if self.wow64:
            command = [WINE64, "reg", "import", self.windows_path(reg_file), "/reg:64"]
        else:
            command = [WINE, "reg", "import", self.windows_path(reg_file)]
        self.run_checked(command, label)

    def load_machine(self, name: str) -> None:
        """Makes the prefix the fixture machine `name`, replacing the one it held."""
        self.import_registry(self.machine_file(name), "load-" + name)

    def clear_machine(self) -> None:
        """Removes every key that a machine may have written."""
        reg_file = self.logs / "no-machine.reg"
        self.logs.mkdir(parents=True, exist_ok=True)
        reg_file.write_bytes(make_machine.render(make_machine.Machine(), self.wow64, {}))
        self.import_registry(reg_file, "clear-machine")

    def expected_report(self, name: str) -> bytes:
        """The report the program must write for machine `name` in this prefix."""
        folder = MACHINES / name
        own = folder / ("report-%s.txt" % self.arch)
        return (own if own.exists() else folder / "report.txt").read_bytes()

    # --- registry files ---------------------------------------------------------

    def registry_files(self) -> List[pathlib.Path]:
        return sorted(self.path.glob("*.reg"))

    def registry_snapshot(self) -> Dict[str, Dict[str, Dict[str, str]]]:
        """The prefix's saved registry, less what Wine rewrites by itself on
        every start: file -> key -> value name -> data. Stop the server first,
        so that the files are written."""
        return {path.name: read_registry_file(path) for path in self.registry_files()}

    # --- making and setting up ----------------------------------------------------

    def exists(self) -> bool:
        try:
            return self.stamp.read_text() == self.stamp_text()
        except OSError:
            return False

    def stamp_text(self) -> str:
        return "%s %s %s\n" % (STAMP_FORMAT, self.arch, wine_version())

    def make(self) -> None:
        """Makes the prefix afresh and keeps a copy of its pristine registry."""
        if self.path.exists():
            self.stop_server()
            shutil.rmtree(self.path)
        shutil.rmtree(self.pristine, ignore_errors=True)
        self.path.mkdir(parents=True)
        wineboot = [WINE64 if self.wow64 else WINE, "wineboot", "-i"]
        self.run(wineboot, "wineboot", MAKE_PREFIX_LIMIT)  # its status is not telling under qemu
        self.run([WINESERVER, "-w"], "wineboot-wait", MAKE_PREFIX_LIMIT)
        if not (self.dll_dir / "msi.dll").exists() or len(list(self.dll_dir.iterdir())) < 100:
            raise WineError("wineboot left %s without its DLLs; see %s" % (self.dll_dir, self.logs))
        if not self.wow64:
            self.switch_off_services(SERVICES_OFF_IN_WIN32)
        # The first start after wineboot writes more than later ones: keep the
        # registry as it stands after one, so that a restored prefix starts
        # like any other time.
        self.run_checked([WINE, "cmd", "/c", "exit"], "first-start")
        self.end_session()
        self.pristine.mkdir()
        for path in self.registry_files():
            shutil.copy2(path, self.pristine / path.name)
        self.stamp.write_text(self.stamp_text())

    def switch_off_services(self, names: Sequence[str]) -> None:
        lines = ["REGEDIT4", ""]
        for name in names:
            lines += [r"[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\%s]" % name,
                      '"Start"=dword:00000004', ""]  # disabled
        reg_file = self.logs / "services-off.reg"
        self.logs.mkdir(parents=True, exist_ok=True)
        reg_file.write_text("\r\n".join(lines + [""]), encoding="ascii")
        self.import_registry(reg_file, "services-off")

    def restore_registry(self) -> None:
        """Puts back the registry of the freshly made prefix."""
        self.stop_server()
        for path in self.registry_files():
            path.unlink()
        for path in sorted(self.pristine.glob("*.reg")):
            shutil.copy2(path, self.path / path.name)

    def install_program(self) -> None:
        """Copies the program under test, the tests' programs and Wine's msi.dll."""
        folder = self.unix_path(PROGRAM_DIR)
        shutil.rmtree(folder, ignore_errors=True)
        folder.mkdir(parents=True)
        bin_dir = build_dir() / "tests" / "wine" / "bin"
        for source in [build_dir() / "Mirovant931.exe", *sorted(bin_dir.iterdir())]:
            shutil.copy2(source, folder / source.name)
        shutil.copy2(self.dll_dir / "msi.dll", folder / "winemsi.dll")

    def setup(self) -> str:
        """Readies the prefix for a run of the tests; says what it did."""
        started = time.monotonic()
        reused = self.exists()
        if reused:
            self.restore_registry()
        else:
            self.make()
        made = time.monotonic()
        shutil.rmtree(self.unix_path(WORK_DIR), ignore_errors=True)
        self.install_program()
        self.start_server()
        self.clear_machine()  # also starts the prefix's services
        ready = time.monotonic()
        return "%s prefix %s in %.1f s, services started in %.1f s" % (
            self.arch, "reused" if reused else "made", made - started, ready - made)


def read_registry_file(path: pathlib.Path) -> Dict[str, Dict[str, str]]:
    """A Wine registry file as key -> value name -> data, without what Wine
    rewrites on every start: key time stamps, "#time=" lines, and the driver
    dates that device set-up writes anew."""
    keys: Dict[str, Dict[str, str]] = {}
    values: Dict[str, str] = {}
    pending = ""
    for line in path.read_text(encoding="utf-8", errors="replace").splitlines():
        if pending:
            line, pending = pending + line.strip(), ""
        if line.endswith("\\") and not line.startswith("["):
            pending = line[:-1]
            continue
        if line.startswith("["):
            key = line[:line.rindex("]") + 1]  # without the time stamp
            values = keys.setdefault(key, {})
        elif line.startswith(("\"", "@")) and "=" in line:
            name, data = split_value(line)
            if not name.startswith('"DriverDate'):
                values[name] = data
    return keys


def split_value(line: str):
    """'"na\\"me"=data' -> ('"na\\"me"', 'data'); '@=data' -> ('@', 'data')."""
    if line.startswith("@"):
        return "@", line[2:]
    index = 1
    while line[index] != '"':
        index += 2 if line[index] == "\\" else 1
    return line[:index + 1], line[index + 2:]


def registry_differences(before, after) -> List[str]:
    """Readable lines for every key and value added, removed or changed."""
    lines = []
    for file in sorted(set(before) | set(after)):
        old, new = before.get(file, {}), after.get(file, {})
        for key in sorted(set(old) | set(new)):
            if key not in new:
                lines.append("%s: removed key %s" % (file, key))
            elif key not in old:
                lines.append("%s: added key %s %s" % (file, key, new[key]))
            else:
                for name in sorted(set(old[key]) | set(new[key])):
                    if old[key].get(name) != new[key].get(name):
                        lines.append("%s: %s %s: %r -> %r" % (
                            file, key, name, old[key].get(name), new[key].get(name)))
    return lines


# --- unittest support -------------------------------------------------------------

def session_prefix() -> Prefix:
    """The prefix the tests of this process run in (MIROVANT_WINE_ARCH)."""
    prefix = Prefix(os.environ.get("MIROVANT_WINE_ARCH", "win64"))
    if not prefix.exists():
        raise WineError("no %s prefix at %s: run `%s setup %s` first" % (
            prefix.arch, prefix.path, __file__, prefix.arch))
    return prefix


class PrefixTest(unittest.TestCase):
    """A test case run in the session's prefix; `self.prefix` is that prefix."""

    prefix: Prefix

    @classmethod
    def setUpClass(cls):
        cls.prefix = session_prefix()

    def work_dir(self) -> pathlib.Path:
        """A fresh folder in the prefix for this test's files, removed after it."""
        folder = self.prefix.work_dir(self.id().split(".")[-1])
        self.addCleanup(shutil.rmtree, folder, True)
        return folder

    def assertReport(self, report: pathlib.Path, expected: bytes, run: Run):
        """The report holds exactly the expected bytes; on failure, shows both and wine's log."""
        self.assertTrue(report.exists(), "no report at %s\n%s" % (report, run.log_text()))
        actual = report.read_bytes()
        if actual != expected:
            import difflib
            diff = difflib.unified_diff([repr(line) for line in expected.splitlines(True)],
                                        [repr(line) for line in actual.splitlines(True)],
                                        "expected", "written", lineterm="")
            self.fail("report %s differs (lines shown as Python bytes):\n%s\n%s" % (
                report, "\n".join(diff), run.log_text()))


def main() -> None:
    """Runs a test file's tests: `python3 test_x.py [unittest arguments]`."""
    unittest.main(module="__main__", verbosity=2)


# --- command line (the CTest set-up and clean-up tests, tools/demo.sh) ------------

CLOCK = "clock-started"


def silent_report(prefix: Prefix) -> int:
    """Runs `Mirovant931.exe /s` and prints the report it wrote in %TEMP%."""
    report = prefix.unix_path(prefix.temp_dir() + "\\Mirovant.txt")
    if report.exists():
        report.unlink()
    run = prefix.run_program("/s", label="silent")
    if run.status != 0 or not report.exists():
        print("Mirovant931.exe /s ended with status %d\n%s" % (run.status, run.log_text()), file=sys.stderr)
        return run.status or 1
    sys.stdout.buffer.write(report.read_bytes() + b"\n")
    return 0


def command_line(argv: List[str]) -> int:
    parser = argparse.ArgumentParser(prog="wineenv.py", description="Wine prefixes for the tests.")
    commands = parser.add_subparsers(dest="command", required=True)
    for name, text in (("setup", "make or reset the prefix, install the program, start the server"),
                       ("stop", "end the prefix's server and its processes"),
                       ("load", "make the prefix a fixture machine"),
                       ("silent", "run Mirovant931.exe /s and print its report")):
        command = commands.add_parser(name, help=text)
        command.add_argument("arch", choices=ARCHES)
        if name == "load":
            command.add_argument("machine", help="a folder name under machines/")
        command.add_argument("--prefix", type=pathlib.Path, help="default: wine/ARCH in the build folder")
    commands.add_parser("clock-start", help="note the time the Wine tests start")
    commands.add_parser("clock-report", help="print how long the Wine tests took")
    args = parser.parse_args(argv)

    clock = wine_root() / CLOCK
    if args.command == "clock-start":
        clock.parent.mkdir(parents=True, exist_ok=True)
        clock.write_text("%f\n" % time.time())
        return 0
    if args.command == "clock-report":
        seconds = time.time() - float(clock.read_text())
        print("The Wine tests took %d min %02d s." % (seconds // 60, seconds % 60))
        return 0

    prefix = Prefix(args.arch, args.prefix.resolve() if args.prefix else None)
    if args.command == "setup":
        print(prefix.setup())
    elif args.command == "stop":
        prefix.stop_server()
    elif args.command == "load":
        prefix.load_machine(args.machine)
    else:
        return silent_report(prefix)
    return 0


if __name__ == "__main__":
    sys.exit(command_line(sys.argv[1:]))
