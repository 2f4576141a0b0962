#!/usr/bin/env python3
"""The main window, the About box, the save dialog and the message boxes of
Mirovant931.exe, on a virtual screen (Xvfb), driven from another process by
the tests' window driver as a user would drive them.

    MIROVANT_WINE_ARCH=win64 python3 tests/wine/test_window.py

Each test starts the program, acts through the driver and checks what the
driver saw; it ends the program and removes the files it made. The screenshots
docs/main-window.png and docs/about-box.png are made anew on every run
(MIROVANT_SCREENSHOT_DIR puts them elsewhere).
"""
import os
import pathlib
import sys
import unittest

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import desktop  # noqa: E402
import wineenv  # noqa: E402
from pe_resources import Resources  # noqa: E402

SCREENSHOTS = pathlib.Path(os.environ.get("MIROVANT_SCREENSHOT_DIR", wineenv.REPOSITORY / "docs"))
NO_PRODUCTS = "There are no Kavren 9.x products installed."
WAIT = desktop.WAIT_MS
DIALOG_WAIT = 3 * WAIT  # the save dialog lists the drives first

WS_MAXIMIZEBOX, WS_MINIMIZEBOX, WS_THICKFRAME = 0x00010000, 0x00020000, 0x00040000
WS_BORDER = 0x00800000
WS_EX_DLGMODALFRAME, WS_EX_CLIENTEDGE, WS_EX_APPWINDOW = 0x1, 0x200, 0x40000
BS_TYPEMASK, BS_DEFPUSHBUTTON = 0xF, 0x1
SS_TYPEMASK, SS_ICON = 0x1F, 0x3
ICON_SIZE = 32  # SM_CXICON, SM_CYICON
TVIS_SELECTED, TVIS_EXPANDED = 0x2, 0x20
MFT_SEPARATOR = 0x800
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
VK_RETURN, VK_ESCAPE, VK_F4 = 0x0D, 0x1B, 0x73
WM_VSCROLL, SB_TOP = 0x115, 6
ABOUT_COMMAND = 0x10
MESSAGE_TEXT_ID = 0xFFFF   # the message box's text static
FILE_NAME_BOX = 0x47C      # the file dialog's name box

display = None
prepared = None


def setUpModule():
    global display, prepared
    prefix = wineenv.session_prefix()
    display = desktop.Display.start()
    unittest.addModuleCleanup(display.stop)
    # Wine's desktop process, started by an earlier run without a display,
    # would serve these windows: start the prefix's processes afresh, and end
    # them before the display goes.
    prefix.stop_server()
    prefix.start_server()
    unittest.addModuleCleanup(prefix.stop_server)
    prepared = desktop.prepare_prefix(prefix)
    unittest.addModuleCleanup(prepared.restore)


def report_tree(report: bytes):
    """The tree the main window shows for this report: (text, [lines]) per item."""
    text = report.decode("latin-1")
    if text == NO_PRODUCTS:
        return [(NO_PRODUCTS, [])]
    items = []
    for line in text.split("\r\n")[:-1]:
        if line.startswith("\t"):
            items[-1][1].append(line[1:])
        else:
            items.append((line, []))  # a title, or the empty line: the spacer
    return items


def tree_shape(tree):
    return [(item["text"], [child["text"] for child in item["children"]]) for item in tree["items"]]


def count_items(shape):
    return sum(1 + len(lines) for _, lines in shape)


class WindowTest(wineenv.PrefixTest):
    """Starts programs, drives them and cleans up after them."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.exe = cls.prefix.unix_path(wineenv.PROGRAM)
        cls.resources = Resources.read(cls.exe)

    def setUp(self):
        self.folder = self.work_dir()
        self.driver_folder = self.folder / "driver"

    def start_program(self, *arguments):
        started = self.prefix.start_program(*arguments, display=display.name)
        self.addCleanup(self.end_if_running, started)
        return started

    @staticmethod
    def end_if_running(started):
        if started.running():
            started.process.kill()
            started.process.wait(wineenv.SERVER_LIMIT)

    def assertEnds(self, started, status, what):
        run = started.finish(60)
        self.assertEqual(run.status, status, "%s: exit status\n%s" % (what, run.log_text()))

    def drive(self, script, actions=None):
        return desktop.drive(self.prefix, display, script, self.driver_folder, actions)

    def win(self, path: pathlib.Path) -> str:
        return self.prefix.windows_path(path)

    def silent_report(self) -> bytes:
        """The report of a silent run on the machine the prefix holds now."""
        report = self.folder / "silent.txt"
        run = self.prefix.run_program("/s", self.win(report), display=display.name)
        self.assertEqual(run.status, 0, run.log_text())
        data = report.read_bytes()
        report.unlink()
        return data

    def map_template(self, script, template_id):
        """A step mapping every control rectangle and the size of the template."""
        template = self.resources.dialog(template_id)
        values = [0, 0, template.cx, template.cy]
        for item in template.items:
            values += [item.x, item.y, item.cx, item.cy]
        return script.step("map-rects", wineenv.PROGRAM, template_id, *values)

    def assertMatchesTemplate(self, window, mapped, template_id):
        """Live window and template agree: styles, client size, and each control's
        id, class, text, rectangle and place in the creation order."""
        template = self.resources.dialog(template_id)
        rects = mapped["rects"]
        self.assertEqual(window["class"], "#32770")
        self.assertEqual(window["caption"], template.caption)
        self.assertEqual(window["style"] & template.style, template.style, hex(window["style"]))
        self.assertEqual(window["style"] & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0)
        self.assertEqual(window["exstyle"] & template.ex_style, template.ex_style)
        self.assertTrue(window["exstyle"] & WS_EX_DLGMODALFRAME)
        self.assertEqual(window["client"], rects[0][2:])
        children = window["children"]
        self.assertEqual([c["id"] for c in children], [i.id for i in template.items])
        for child, item, rect in zip(children, template.items, rects[1:]):
            with self.subTest(control=item.id, text=item.text):
                self.assertEqual(child["class"].lower(), str(item.window_class).lower())
                if isinstance(item.text, str):
                    self.assertEqual(child["text"], item.text)
                if item.style & SS_TYPEMASK == SS_ICON:
                    # An icon static takes the size of its icon, whatever the template says.
                    self.assertEqual(child["rect"], rect[:2] + [ICON_SIZE, ICON_SIZE])
                else:
                    self.assertEqual(child["rect"], rect)
                self.assertTrue(child["visible"] and child["enabled"])
                style = item.style
                if style & WS_BORDER:
                    # The dialog manager draws a 3-D edge instead of a border.
                    self.assertTrue(child["exstyle"] & WS_EX_CLIENTEDGE or child["style"] & WS_BORDER)
                    style &= ~WS_BORDER
                self.assertEqual(child["style"] & style, style, hex(child["style"]))

    def assertTreeShows(self, tree, report):
        """The tree lists the report: one expanded item per product, its lines
        as children, a spacer after each; text alone, nothing selected."""
        expected = report_tree(report)
        self.assertEqual(tree_shape(tree), expected)
        self.assertEqual(tree["count"], count_items(expected))
        for item in tree["items"]:
            for node in [item] + item["children"]:
                self.assertEqual((node["image"], node["param"], node["state"] & TVIS_SELECTED), (0, 0, 0))
            if item["children"]:
                self.assertTrue(item["state"] & TVIS_EXPANDED, item["text"])

    def assertMessageBox(self, box, icon, text, owner):
        """A message box of the program: its text, caption, owner, the exclamation
        icon and one button, "OK"."""
        self.assertEqual(box["caption"], "Mirovant931")
        self.assertEqual(box["owner"], owner)
        texts = [c["text"] for c in box["children"] if c["id"] == MESSAGE_TEXT_ID]
        self.assertEqual(texts, [text])
        buttons = [c for c in box["children"] if c["class"].lower() == "button" and c["visible"]]
        self.assertEqual([(b["id"], b["text"]) for b in buttons], [(IDOK, "OK")])
        self.assertEqual(icon["icon"]["icon"], "exclamation")

    def screenshot(self, name, window):
        SCREENSHOTS.mkdir(parents=True, exist_ok=True)
        display.screenshot(window["rect"], SCREENSHOTS / name)


class MainWindow(WindowTest):
    def test_window_tree_menu_about_box_and_escape(self):
        self.prefix.load_machine("release93")
        report = self.silent_report()
        program = self.start_program()

        script = desktop.Script()
        found = script.step("find-main", WAIT)
        mapped = self.map_template(script, 102)
        first_tree = script.step("tree")
        icons = script.step("icons")
        menu = script.step("system-menu")
        script.step("send-command", "main", 1001)
        script.step("send-command", "main", 1001)
        second_tree = script.step("tree")
        # For the picture, the tree scrolled to its top (expanding the items scrolled it).
        script.step("send-message", "main", 1000, WM_VSCROLL, SB_TOP, 0)
        script.step("wait-painted", "main", WAIT)
        script.pause("screenshot-main")
        script.step("syscommand", "main", ABOUT_COMMAND)
        about = script.step("wait-window", "main", WAIT)
        about_mapped = self.map_template(script, 100)
        # Where the About box overlaps its owner, Wine 8 on Xvfb without a window
        # manager shows black instead of its content; beside it, it shows.
        about_moved = script.step("move", "top", 800, 200)
        script.step("wait-painted", "top", WAIT)
        script.pause("screenshot-about")
        script.step("command", "top", IDOK)
        script.step("wait-gone", "top", WAIT)
        painted = script.step("paint-iconic", WAIT)
        script.step("key", "main", VK_ESCAPE)
        script.step("wait-gone", "main", WAIT)

        results = self.drive(script, {
            "screenshot-main": lambda r: self.screenshot("main-window.png", r[found]["window"]),
            "screenshot-about": lambda r: self.screenshot("about-box.png", r[about_moved]),
        })
        self.assertEnds(program, 0, "Escape closes the main window and ends the program")

        window = results[found]["window"]
        with self.subTest("main window"):
            self.assertMatchesTemplate(window, results[mapped], 102)
            self.assertEqual(window["owner"], "none")
            self.assertTrue(window["exstyle"] & WS_EX_APPWINDOW)
            # "Refresh" is the default button and has the focus.
            self.assertEqual((window["focus_id"], window["defid"]), (1001, 1001))
            refresh = window["children"][0]
            self.assertEqual(refresh["style"] & BS_TYPEMASK, BS_DEFPUSHBUTTON)
        with self.subTest("tree"):
            self.assertTreeShows(results[first_tree]["tree"], report)
            self.assertEqual(results[second_tree]["tree"], results[first_tree]["tree"],
                             "Refresh, twice, must give the same tree, without duplicates")
        with self.subTest("icons"):
            shown = results[icons]["icons"]
            self.assertNotEqual(shown["application"], 0)
            self.assertEqual((shown["big"], shown["small"], shown["drag"]), (shown["application"],) * 3)
        with self.subTest("system menu"):
            items = results[menu]["menu"]["items"]
            separator, command = items[-2:]
            self.assertTrue(separator["type"] & MFT_SEPARATOR)
            self.assertEqual((command["id"], command["text"], command["type"]),
                             (ABOUT_COMMAND, "&About Mirovant931...", 0))
            self.assertEqual([i["id"] for i in items].count(ABOUT_COMMAND), 1)
        with self.subTest("About box"):
            box = results[about]["window"]
            self.assertMatchesTemplate(box, results[about_mapped], 100)
            self.assertEqual(box["owner"], "main")
            icon_static = box["children"][0]
            self.assertEqual(icon_static["icon"], results[icons]["icons"]["application"])
            self.assertEqual((box["focus_id"], box["defid"]), (IDOK, IDOK))
        with self.subTest("minimised"):
            self.assertEqual(results[painted], dict(results[painted], iconic=True, painted=True,
                                                     answers=True, restored=True))

    def test_machine_without_products_and_the_close_button(self):
        self.prefix.clear_machine()
        program = self.start_program()
        script = desktop.Script()
        script.step("find-main", WAIT)
        tree = script.step("tree")
        script.step("command", "main", IDOK)
        script.step("wait-gone", "main", WAIT)
        results = self.drive(script)
        self.assertEnds(program, 0, '"Close" ends the program')
        self.assertEqual(tree_shape(results[tree]["tree"]), [(NO_PRODUCTS, [])])  # no spacer

    def test_enter_in_the_tree_refreshes_and_alt_f4_closes(self):
        self.prefix.load_machine("release93")
        program = self.start_program()
        script = desktop.Script()
        script.step("find-main", WAIT)
        before = script.step("tree")
        script.pause("remove-products")
        script.step("focus", "main", 1000)
        script.step("key", "main", VK_RETURN)
        after = script.step("tree-until", 1, WAIT)
        # Wine's tree view keeps Alt+F4 to itself (Windows passes it on to the
        # default window procedure): press it with the focus on a button.
        script.step("focus", "main", 1001)
        script.step("press", "main", VK_F4, "alt")
        script.step("wait-gone", "main", WAIT)
        results = self.drive(script, {"remove-products": lambda r: self.prefix.clear_machine()})
        self.assertEnds(program, 0, "Alt+F4 ends the program")
        self.assertGreater(results[before]["tree"]["count"], 1)
        self.assertEqual(tree_shape(results[after]["tree"]), [(NO_PRODUCTS, [])])


class SaveAs(WindowTest):
    """One save dialog per program run: under qemu, Wine's save dialog now and
    then hangs when a process opens it again (in the shell's drive listing)."""

    def save_as(self, script, name):
        """Steps: open the save dialog and type a name, without confirming."""
        script.step("command", "main", 1002)
        dialog = script.step("wait-window", "main", DIALOG_WAIT)
        script.step("set-edit", "top", FILE_NAME_BOX, name)
        return dialog

    def test_report_of_a_changed_machine_under_a_name_without_extension(self):
        self.prefix.load_machine("release93")
        program = self.start_program()
        script = desktop.Script()
        script.step("find-main", WAIT)
        tree_before = script.step("tree")
        script.pause("remove-products")
        dialog = self.save_as(script, self.win(self.folder / "inventory"))
        script.step("command", "top", IDOK)
        script.step("wait-gone", "top", WAIT)
        script.step("sync", "main")
        tree_after = script.step("tree")
        script.step("click-close", "main")
        script.step("wait-gone", "main", WAIT)
        results = self.drive(script, {"remove-products": lambda r: self.prefix.clear_machine()})
        self.assertEnds(program, 0, "the close box ends the program")

        saved = self.folder / "inventory.txt"
        self.assertEqual(sorted(p.name for p in self.folder.iterdir() if p.is_file()), ["inventory.txt"])
        self.assertEqual(saved.read_bytes(), self.silent_report())
        self.assertEqual(saved.read_bytes().decode("latin-1"), NO_PRODUCTS)
        # The tree still shows the machine as it was at the last refresh.
        self.assertEqual(results[tree_after]["tree"], results[tree_before]["tree"])
        self.assertGreater(results[tree_after]["tree"]["count"], 1)
        self.assertEqual(results[dialog]["window"]["owner"], "main")

    def existing_file(self):
        existing = self.folder / "existing.txt"
        existing.write_bytes(b"kept\r\n")
        return existing

    def test_no_keeps_an_existing_file_and_cancel_writes_nothing(self):
        self.prefix.load_machine("release93")
        existing = self.existing_file()
        program = self.start_program()
        script = desktop.Script()
        script.step("find-main", WAIT)
        dialog = self.save_as(script, self.win(existing))
        script.step("command", "top", IDOK)
        prompt = script.step("wait-window", "top", WAIT)
        script.step("command", "top", IDNO)
        script.step("wait-gone", "top", WAIT)
        still_asking = script.step("describe", "top")
        script.step("command", "top", IDCANCEL)
        script.step("wait-gone", "top", WAIT)
        script.step("sync", "main")
        script.step("command", "main", IDOK)
        script.step("wait-gone", "main", WAIT)
        results = self.drive(script)
        self.assertEnds(program, 0, "the program ends when its window closes")

        question = results[prompt]["window"]
        self.assertEqual(question["owner"], "found0")  # the save dialog asks
        buttons = [c["id"] for c in question["children"] if c["class"].lower() == "button" and c["visible"]]
        self.assertEqual(sorted(buttons), [IDYES, IDNO])
        self.assertEqual(results[still_asking]["window"]["hwnd"], results[dialog]["window"]["hwnd"])
        self.assertEqual(existing.read_bytes(), b"kept\r\n")
        self.assertEqual(sorted(p.name for p in self.folder.iterdir() if p.is_file()), ["existing.txt"])

    def test_yes_replaces_an_existing_file_with_the_report(self):
        self.prefix.load_machine("release93")
        report = self.silent_report()
        existing = self.existing_file()
        program = self.start_program()
        script = desktop.Script()
        script.step("find-main", WAIT)
        self.save_as(script, self.win(existing))
        script.step("command", "top", IDOK)
        script.step("wait-window", "top", WAIT)
        script.step("command", "top", IDYES)
        script.step("wait-gone", "top", WAIT)
        script.step("wait-gone", "top", WAIT)
        script.step("sync", "main")
        script.step("command", "main", IDOK)
        script.step("wait-gone", "main", WAIT)
        self.drive(script)
        self.assertEnds(program, 0, "the program ends when its window closes")
        self.assertEqual(existing.read_bytes(), report)

    def test_a_file_that_cannot_be_opened(self):
        self.prefix.clear_machine()
        locked = self.folder / "locked.txt"
        program = self.start_program()

        script = desktop.Script()
        script.step("find-main", WAIT)
        # Held open without sharing by the driver: the program cannot open it.
        script.step("lock-file", self.win(locked))
        self.save_as(script, self.win(locked))
        script.step("command", "top", IDOK)
        script.step("wait-window", "top", WAIT)  # it exists: replace it?
        script.step("command", "top", IDYES)
        script.step("wait-gone", "top", WAIT)
        script.step("wait-gone", "top", WAIT)
        failure = script.step("wait-window", "main", WAIT)
        failure_icon = script.step("message-box-icon", "top")
        script.step("command", "top", IDOK)
        script.step("wait-gone", "top", WAIT)
        still_open = script.step("describe", "main")
        script.step("command", "main", IDOK)
        script.step("wait-gone", "main", WAIT)
        results = self.drive(script)
        self.assertEnds(program, 0, "the program ends when its window closes")

        self.assertMessageBox(results[failure]["window"], results[failure_icon],
                              "Could not open " + self.win(locked), "main")
        window = results[still_open]["window"]
        self.assertTrue(window["visible"] and window["enabled"])
        self.assertEqual(locked.read_bytes(), b"")


class SecondCopy(WindowTest):
    def test_second_copy_while_the_window_is_open_does_nothing(self):
        self.prefix.clear_machine()
        program = self.start_program()
        second_report = self.folder / "second.txt"
        runs = {}

        def start_second_copies(results):
            runs["window"] = self.prefix.run_program(label="second-copy", display=display.name, limit=60)
            runs["silent"] = self.prefix.run_program("/s", self.win(second_report), label="second-silent",
                                                     display=display.name, limit=60)

        script = desktop.Script()
        script.step("find-main", WAIT)
        script.pause("second-copies")
        windows = script.step("windows")
        script.step("command", "main", IDOK)
        script.step("wait-gone", "main", WAIT)
        results = self.drive(script, {"second-copies": start_second_copies})
        self.assertEnds(program, 0, "the first copy")

        self.assertEqual(runs["window"].status, 1, runs["window"].log_text())
        self.assertEqual(runs["silent"].status, 1, runs["silent"].log_text())
        self.assertFalse(second_report.exists())
        shown = [w for w in results[windows]["windows"] if w["class"] == "#32770"]
        self.assertEqual(len(shown), 1, shown)


class CommandLineMessages(WindowTest):
    """The messages of the command line, as a user sees them on the screen."""

    USAGE = ("Usage: Mirovant931.exe [/s|-s [output file name]]\n \t/s, -s\tsilent mode\n"
             "\t%TEMP%\\mirovant.txt is the default one")
    SYNTAX = "Syntax:" + USAGE[len("Usage:"):]

    def message(self, *arguments):
        """Starts the program, reads its message box, answers "OK"; gives the box."""
        program = self.start_program(*arguments)
        script = desktop.Script()
        box = script.step("wait-window", "none", WAIT)
        icon = script.step("message-box-icon", "top")
        script.step("command", "top", IDOK)
        script.step("wait-gone", "top", WAIT)
        results = self.drive(script)
        return program, results[box]["window"], results[icon]

    def test_usage_and_syntax(self):
        for arguments, text in ((("report.txt",), self.USAGE), (("/s", "C:\\a", "b.txt"), self.SYNTAX)):
            with self.subTest(arguments=arguments):
                program, box, icon = self.message(*arguments)
                self.assertEnds(program, 2, "after the message")
                self.assertMessageBox(box, icon, text, "none")

    def test_could_not_open_shows_the_name_with_its_quotes(self):
        name = self.win(self.folder / "a b.txt")
        program, box, icon = self.message("/s", name)  # Wine quotes the name: it holds a space
        self.assertEnds(program, 3, "after the message")
        self.assertMessageBox(box, icon, 'Could not open "%s"' % name, "none")
        self.assertEqual(list(self.folder.iterdir()), [self.driver_folder])


if __name__ == "__main__":
    wineenv.main()
