#!/usr/bin/env python3
"""The resources of the built Mirovant931.exe, read back from the image: the
dialog templates of the main window and the About box, the system-menu string,
the application icon, the manifest and the version numbers. No Wine needed.

    python3 tests/wine/test_resources.py     # MIROVANT_BUILD_DIR: the Windows build
"""
import os
import pathlib
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib
from xml.etree import ElementTree

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from pe_resources import RT_MANIFEST, Resources  # noqa: E402

REPOSITORY = HERE.parent.parent
BUILD = pathlib.Path(os.environ.get("MIROVANT_BUILD_DIR", REPOSITORY / "build" / "windows"))
PROGRAM = BUILD / "Mirovant931.exe"

WS_POPUP, WS_CHILD, WS_VISIBLE = 0x80000000, 0x40000000, 0x10000000
WS_CAPTION, WS_BORDER, WS_SYSMENU = 0x00C00000, 0x00800000, 0x00080000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
DS_FIXEDSYS, DS_SETFONT, DS_MODALFRAME = 0x08, 0x40, 0x80
WS_EX_APPWINDOW = 0x00040000
BS_PUSHBUTTON, BS_DEFPUSHBUTTON = 0x0, 0x1
SS_LEFT, SS_ICON, SS_NOPREFIX = 0x0, 0x3, 0x80
TVS_HASBUTTONS = 0x1

SHOWN = WS_CHILD | WS_VISIBLE
DIALOG = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS

# (id, class, text, x, y, cx, cy, style) in creation order.
MAIN_WINDOW = dict(
    caption="Mirovant931", size=(314, 250), style=DIALOG | WS_VISIBLE, ex_style=WS_EX_APPWINDOW,
    items=[
        (1001, "Button", "Refresh", 40, 227, 50, 16, SHOWN | BS_DEFPUSHBUTTON | WS_TABSTOP),
        (1, "Button", "Close", 214, 227, 50, 16, SHOWN | BS_PUSHBUTTON | WS_TABSTOP),
        (1000, "SysTreeView32", "", 7, 7, 299, 215, SHOWN | TVS_HASBUTTONS | WS_BORDER | WS_TABSTOP),
        (1002, "Button", "Save as", 125, 227, 50, 16, SHOWN | BS_PUSHBUTTON | WS_TABSTOP),
    ])
ABOUT_BOX = dict(
    caption="About Mirovant931", size=(235, 55), style=DIALOG, ex_style=0,
    items=[
        (-1, "Static", 128, 11, 17, 20, 20, SHOWN | SS_ICON),
        (-1, "Static", "Mirovant931 Version 4.0", 40, 10, 119, 8, SHOWN | SS_LEFT | SS_NOPREFIX | WS_GROUP),
        (-1, "Static", None, 40, 25, 119, 8, SHOWN | SS_LEFT | WS_GROUP),  # the legal notice
        (1, "Button", "OK", 178, 7, 50, 16, SHOWN | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP),
    ])

ICON_IMAGES = sorted([(size, bits) for bits in (4, 8) for size in (64, 48, 32, 24, 16)]
                     + [(size, 32) for size in (256, 64, 48, 32, 24, 16)])


def program_resources() -> Resources:
    if not PROGRAM.exists():
        raise unittest.SkipTest("no %s: build the windows preset first" % PROGRAM)
    return Resources.read(PROGRAM)


class DialogTemplates(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.resources = program_resources()

    def check_template(self, template_id, expected):
        template = self.resources.dialog(template_id)
        self.assertEqual(template.caption, expected["caption"])
        self.assertEqual((template.x, template.y, (template.cx, template.cy)), (0, 0, expected["size"]))
        self.assertEqual(hex(template.style), hex(expected["style"]))
        self.assertEqual(hex(template.ex_style), hex(expected["ex_style"]))
        self.assertEqual((template.menu, template.window_class), ("", ""))
        # "MS Shell Dlg", 8 points, normal weight, not italic, DEFAULT_CHARSET.
        self.assertEqual((template.typeface, template.point_size, template.weight, template.italic,
                          template.charset), ("MS Shell Dlg", 8, 400, 0, 1))
        self.assertEqual(len(template.items), len(expected["items"]))
        for position, (item, want) in enumerate(zip(template.items, expected["items"])):
            with self.subTest(control=position + 1):
                item_id, window_class, text, x, y, cx, cy, style = want
                self.assertEqual(item.id, item_id)
                # Class names ignore case; windres stores a quoted name in upper case.
                self.assertEqual(str(item.window_class).lower(), window_class.lower())
                if text is not None:
                    self.assertEqual(item.text, text)
                self.assertEqual((item.x, item.y, item.cx, item.cy), (x, y, cx, cy))
                self.assertEqual(hex(item.style), hex(style))
                self.assertEqual((item.ex_style, item.help_id, item.extra), (0, 0, b""))
        return template

    def test_main_window(self):
        self.check_template(102, MAIN_WINDOW)

    def test_about_box(self):
        template = self.check_template(100, ABOUT_BOX)
        notice = template.items[2].text
        self.assertIsInstance(notice, str)
        self.assertTrue(notice.startswith("Copyright"), notice)

    def test_buttons_and_statics_are_stored_by_atom(self):
        # As resource compilers store the predefined classes.
        for template_id in (100, 102):
            for item in self.resources.dialog(template_id).items:
                if str(item.window_class).lower() in ("button", "static"):
                    self.assertIn(item.window_class, ("Button", "Static"))


class OtherResources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.resources = program_resources()

    def test_system_menu_command_text(self):
        self.assertEqual(self.resources.string(101), "&About Mirovant931...")

    def test_application_icon_has_the_sixteen_images(self):
        group = self.resources.icon_group(128)
        self.assertEqual(sorted((entry.width, entry.bit_count) for entry in group), ICON_IMAGES)
        for entry in group:
            with self.subTest(size=entry.width, bits=entry.bit_count):
                image = self.resources.icon_image(entry.icon_id)
                self.assertEqual(len(image), entry.size)
                self.assertEqual((entry.width, entry.planes), (entry.height, 1))
                self.assertEqual(entry.colours, 16 if entry.bit_count == 4 else 0)
                if entry.width == 256:
                    self.assertEqual(image[:8], b"\x89PNG\r\n\x1a\n")
                    width, height, depth, colour_type = struct.unpack(">IIBB", image[16:26])
                    self.assertEqual((width, height, depth, colour_type), (256, 256, 8, 6))  # RGBA
                else:
                    header, width, height, planes, bits = struct.unpack_from("<IiiHH", image)
                    # A DIB header; the height counts the image and its mask.
                    self.assertEqual((header, width, height, planes, bits),
                                     (40, entry.width, 2 * entry.width, 1, entry.bit_count))

    def test_manifest_declares_no_dependency(self):
        # No dependency on the version-6 common controls: the classic look.
        root = ElementTree.fromstring(self.resources.one(RT_MANIFEST, 1))
        self.assertEqual(root.tag, "{urn:schemas-microsoft-com:asm.v1}assembly")
        self.assertEqual([element.tag for element in root.iter() if element.tag.endswith("dependency")], [])

    def test_version_numbers(self):
        self.assertEqual(self.resources.version(), ((9, 3, 1, 3503), (9, 3, 1, 0)))


def icon_images(data: bytes):
    """The images of an .ico file, with each PNG's pixels unpacked: zlib's
    output may differ between versions for the same pixels."""
    count = struct.unpack_from("<H", data, 4)[0]
    images = []
    for i in range(count):
        entry = data[6 + 16 * i:22 + 16 * i]
        size, offset = struct.unpack_from("<II", entry, 8)
        image = data[offset:offset + size]
        if image.startswith(b"\x89PNG"):
            chunks, at = [], 8
            while at < len(image):
                (length,) = struct.unpack_from(">I", image, at)
                kind = image[at + 4:at + 8]
                body = image[at + 8:at + 8 + length]
                chunks.append((kind, zlib.decompress(body) if kind == b"IDAT" else body))
                at += 12 + length
            image = chunks
        images.append((entry[:8], image))
    return images


class IconFile(unittest.TestCase):
    def test_committed_icon_is_what_the_generator_draws(self):
        committed = REPOSITORY / "src" / "ui" / "Mirovant931.ico"
        with tempfile.TemporaryDirectory() as folder:
            fresh = pathlib.Path(folder) / "fresh.ico"
            subprocess.run([sys.executable, str(REPOSITORY / "tools" / "make_icon.py"), str(fresh)],
                           check=True, timeout=300)
            self.assertEqual(icon_images(fresh.read_bytes()), icon_images(committed.read_bytes()),
                             "src/ui/Mirovant931.ico is stale: run tools/make_icon.py")


if __name__ == "__main__":
    unittest.main(verbosity=2)
