"""Windows on a virtual screen, for the window tests: an Xvfb server, what a
prefix needs to show windows, screenshots, and the window driver
(driver/window_driver.cpp), a Windows program run in the same prefix that acts
on the program's windows and reports what it sees.

    display = desktop.Display.start()
    windows = desktop.prepare_prefix(prefix)    # undo with windows.restore()
    script = desktop.Script()
    found = script.step("find-main", 20000)
    results = desktop.drive(prefix, display, script, work_folder)
    results[found]["window"]["caption"]
"""
import json
import os
import pathlib
import select
import shutil
import subprocess
import time
from typing import Callable, Dict, List, Optional

import wineenv

DRIVER = wineenv.PROGRAM_DIR + "\\window_driver.exe"  # with probe.dll beside it
SCREEN = "1280x1024x24"
START_LIMIT = 30
WAIT_MS = 20000  # the driver's limit for one wait, in milliseconds
DRIVE_LIMIT = 180  # seconds for one driver run

# Wine's own fonts, which Debian's Wine does not find by itself: without them
# captions show "r" for the close box and the dialog font is off.
WINE_FONTS = pathlib.Path("/usr/share/wine/fonts")
X11_DRIVER_KEY = "HKCU\\Software\\Wine\\X11 Driver"


class Display:
    """An Xvfb server on a free display number; stop it with stop()."""

    def __init__(self, process: subprocess.Popen, number: str):
        self.process = process
        self.name = ":" + number

    @classmethod
    def start(cls) -> "Display":
        read_end, write_end = os.pipe()
        try:
            process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN, "-nolisten", "tcp"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL)
        finally:
            os.close(write_end)
        try:
            number = b""
            deadline = time.monotonic() + START_LIMIT
            while not number.endswith(b"\n"):
                ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
                chunk = os.read(read_end, 16) if ready else b""
                if not chunk:
                    process.kill()
                    process.wait(START_LIMIT)
                    raise RuntimeError("Xvfb did not start within %d s" % START_LIMIT)
                number += chunk
        finally:
            os.close(read_end)
        return cls(process, number.decode().strip())

    def stop(self) -> None:
        self.process.terminate()
        try:
            self.process.wait(START_LIMIT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(START_LIMIT)

    def screenshot(self, rect, path: pathlib.Path) -> None:
        """The screen inside rect (left, top, right, bottom) as a PNG file."""
        left, top, right, bottom = rect
        dump = path.with_suffix(".xwd")
        subprocess.run(["xwd", "-root", "-silent", "-display", self.name, "-out", str(dump)],
                       check=True, timeout=START_LIMIT)
        try:
            # No time stamps: the same picture gives the same file.
            subprocess.run(["convert", "xwd:" + str(dump), "-crop",
                            "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage",
                            "-strip", "-define", "png:exclude-chunks=date,time",
                            "png:" + str(path)], check=True, timeout=START_LIMIT)
        finally:
            dump.unlink()


class PreparedPrefix:
    """What prepare_prefix changed, so that restore() can take it back."""

    def __init__(self, prefix: wineenv.Prefix, fonts: List[pathlib.Path]):
        self.prefix = prefix
        self.fonts = fonts

    def restore(self) -> None:
        self.prefix.run([wineenv.WINE, "reg", "delete", X11_DRIVER_KEY, "/v", "Managed", "/f"], "unmanaged-off")
        for font in self.fonts:
            font.unlink(missing_ok=True)


def prepare_prefix(prefix: wineenv.Prefix) -> PreparedPrefix:
    """Readies the prefix for windows on a screen without a window manager."""
    fonts_dir = prefix.path / "drive_c" / "windows" / "Fonts"
    added = []
    for font in sorted(WINE_FONTS.iterdir()):
        target = fonts_dir / font.name
        if font.suffix.lower() in (".ttf", ".fon") and not target.exists():
            shutil.copy2(font, target)
            added.append(target)
    # Wine's own window frames: without a window manager, managed windows get
    # no captions and every hide waits 2 s for one.
    prefix.run_checked([wineenv.WINE, "reg", "add", X11_DRIVER_KEY, "/v", "Managed", "/d", "N", "/f"],
                       "unmanaged-on")
    return PreparedPrefix(prefix, added)


class Script:
    """The driver's steps; step() returns the index of the step's result."""

    def __init__(self):
        self.steps: List[List[str]] = []
        self.pauses: List[str] = []

    def step(self, name: str, *arguments) -> int:
        self.steps.append([name, *(str(a) for a in arguments)])
        return len(self.steps) - 1

    def pause(self, name: str) -> int:
        """The driver waits here until the test has done `name` (see drive)."""
        self.pauses.append(name)
        return self.step("pause", name)


class DriverFailure(AssertionError):
    pass


def drive(prefix: wineenv.Prefix, display: Display, script: Script, folder: pathlib.Path,
          actions: Optional[Dict[str, Callable[[List[dict]], None]]] = None) -> List[dict]:
    """Runs the script and returns one result per step.

    At each pause the driver waits while the test runs actions[name] with
    the results so far (a screenshot, another machine, a second copy).
    A failed step, or a driver that does not end in time, raises
    DriverFailure with every result the driver wrote."""
    actions = actions or {}
    folder.mkdir(parents=True, exist_ok=True)
    number = len(list(folder.glob("script-*.txt"))) + 1
    script_file = folder / ("script-%d.txt" % number)
    results_file = folder / ("results-%d.jsonl" % number)
    lines = []
    for words in script.steps:
        if words[0] == "pause":
            name = words[1]
            words = ["pause", prefix.windows_path(folder / ("%s-%d.ready" % (name, number))),
                     prefix.windows_path(folder / ("%s-%d.go" % (name, number))), str(WAIT_MS * 3)]
        lines.append("\t".join(words))
    script_file.write_text("\n".join(lines) + "\n", encoding="latin-1")

    started = prefix.start([wineenv.WINE, DRIVER, prefix.windows_path(script_file),
                            prefix.windows_path(results_file)], "window-driver", display.name)
    deadline = time.monotonic() + DRIVE_LIMIT
    action_error = None
    for name in script.pauses:
        ready = folder / ("%s-%d.ready" % (name, number))
        while not ready.exists() and started.running() and time.monotonic() < deadline:
            time.sleep(0.05)
        if not ready.exists():
            break
        try:
            if name in actions:
                actions[name](read_results(results_file))
        except BaseException as error:  # the driver still runs to its end
            action_error = action_error or error
        (folder / ("%s-%d.go" % (name, number))).write_text("go\n")
    run, problem = None, None
    try:
        run = started.finish(max(1.0, deadline - time.monotonic()))
    except wineenv.WineError as error:
        problem = str(error)
    if action_error is not None:
        raise action_error
    results = read_results(results_file)
    failed = [r for r in results if not r.get("ok")]
    if problem or run.status != 0 or failed or len(results) != len(script.steps):
        raise DriverFailure("the window driver stopped: %s\nsteps:\n%s\nresults:\n%s\n%s" % (
            problem or ("status %d" % run.status),
            "\n".join(lines),
            "\n".join(json.dumps(r) for r in results),
            run.log_text() if run else ""))
    return results


def read_results(path: pathlib.Path) -> List[dict]:
    if not path.exists():
        return []
    return [json.loads(line) for line in path.read_text(encoding="latin-1").splitlines() if line.strip()]
