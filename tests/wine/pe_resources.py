"""Reads the resources of a Windows executable as the window manager will:
dialog templates (DIALOGEX), string tables, icon groups, manifests and the
fixed part of the version resource. Standard library only; walks the resource
directory of the image that pe.Reader opens."""
import struct
from dataclasses import dataclass, field
from typing import Dict, List, Optional, Tuple, Union

import pe

RESOURCE_DIRECTORY = 2

RT_ICON = 3
RT_DIALOG = 5
RT_STRING = 6
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24

DS_SETFONT = 0x40
DS_SHELLFONT = 0x48

# Predefined window classes, stored in templates as 0xFFFF and an atom.
CLASS_ATOMS = {0x80: "Button", 0x81: "Edit", 0x82: "Static", 0x83: "ListBox", 0x84: "ScrollBar",
               0x85: "ComboBox"}

Name = Union[int, str]  # a resource id or name; a class atom or name


@dataclass
class DialogItem:
    id: int              # the control id, signed: -1 for a static nothing refers to
    window_class: Name   # the class name, or its atom when not a predefined one
    text: Name           # text, or a resource ordinal (an icon static's icon)
    x: int
    y: int
    cx: int
    cy: int
    style: int
    ex_style: int
    help_id: int
    extra: bytes


@dataclass
class DialogTemplate:
    style: int
    ex_style: int
    help_id: int
    x: int
    y: int
    cx: int
    cy: int
    menu: Name
    window_class: Name
    caption: str
    point_size: Optional[int] = None
    weight: Optional[int] = None
    italic: Optional[int] = None
    charset: Optional[int] = None
    typeface: Optional[str] = None
    items: List[DialogItem] = field(default_factory=list)


@dataclass
class IconEntry:
    width: int     # 256 for the 0 the directory stores
    height: int
    colours: int
    planes: int
    bit_count: int
    size: int
    icon_id: int   # the RT_ICON resource holding the image


class Resources:
    """The resources of one image: resources[type][name] -> {language: bytes}."""

    def __init__(self, data: bytes):
        self.reader = pe.Reader(data)
        rva, _ = self.reader.directory(RESOURCE_DIRECTORY)
        if rva == 0:
            raise ValueError("the image has no resources")
        self.root = self.reader.offset(rva)
        self.tree: Dict[Name, Dict[Name, Dict[int, bytes]]] = {}
        for type_name, type_dir in self._entries(self.root):
            names = self.tree.setdefault(type_name, {})
            for name, name_dir in self._entries(type_dir):
                for language, data_entry in self._entries(name_dir):
                    data_rva, size, _, _ = struct.unpack_from("<IIII", self.reader.data, data_entry)
                    start = self.reader.offset(data_rva)
                    names.setdefault(name, {})[language] = self.reader.data[start:start + size]

    @classmethod
    def read(cls, path) -> "Resources":
        with open(path, "rb") as file:
            return cls(file.read())

    def _entries(self, directory: int) -> List[Tuple[Name, int]]:
        data = self.reader.data
        named, numbered = struct.unpack_from("<HH", data, directory + 12)
        entries = []
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
            if name & 0x80000000:
                start = self.root + (name & 0x7FFFFFFF)
                (length,) = struct.unpack_from("<H", data, start)
                key: Name = data[start + 2:start + 2 + 2 * length].decode("utf-16-le")
            else:
                key = name
            entries.append((key, self.root + (target & 0x7FFFFFFF)))
        return entries

    def one(self, type_id: Name, name: Name) -> bytes:
        """The resource in its only language; an error when absent or ambiguous."""
        languages = self.tree.get(type_id, {}).get(name)
        if not languages:
            raise KeyError("no resource %r of type %r" % (name, type_id))
        if len(languages) != 1:
            raise KeyError("resource %r of type %r has %d languages" % (name, type_id, len(languages)))
        return next(iter(languages.values()))

    def dialog(self, name: Name) -> DialogTemplate:
        return parse_dialog(self.one(RT_DIALOG, name))

    def string(self, string_id: int) -> Optional[str]:
        """A string of a string table, or None when its block or its slot is empty."""
        languages = self.tree.get(RT_STRING, {}).get(string_id // 16 + 1)
        if not languages:
            return None
        data = next(iter(languages.values()))
        offset = 0
        for index in range(16):
            (length,) = struct.unpack_from("<H", data, offset)
            text = data[offset + 2:offset + 2 + 2 * length].decode("utf-16-le")
            if index == string_id % 16:
                return text if length else None
            offset += 2 + 2 * length
        return None

    def icon_group(self, name: Name) -> List[IconEntry]:
        data = self.one(RT_GROUP_ICON, name)
        reserved, kind, count = struct.unpack_from("<HHH", data, 0)
        if reserved != 0 or kind != 1:
            raise ValueError("not an icon group")
        entries = []
        for i in range(count):
            width, height, colours, _, planes, bits, size, icon_id = struct.unpack_from(
                "<BBBBHHIH", data, 6 + 14 * i)
            entries.append(IconEntry(width or 256, height or 256, colours, planes, bits, size, icon_id))
        return entries

    def icon_image(self, icon_id: int) -> bytes:
        return self.one(RT_ICON, icon_id)

    def version(self) -> Tuple[Tuple[int, int, int, int], Tuple[int, int, int, int]]:
        """The file and product versions of the version resource's fixed part."""
        data = self.one(RT_VERSION, 1)
        start = data.index(struct.pack("<I", 0xFEEF04BD))
        ms, ls, pms, pls = struct.unpack_from("<IIII", data, start + 8)
        return ((ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF),
                (pms >> 16, pms & 0xFFFF, pls >> 16, pls & 0xFFFF))


class _Cursor:
    def __init__(self, data: bytes):
        self.data = data
        self.at = 0

    def take(self, layout: str):
        values = struct.unpack_from("<" + layout, self.data, self.at)
        self.at += struct.calcsize("<" + layout)
        return values if len(values) > 1 else values[0]

    def text(self) -> str:
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        text = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return text

    def name(self) -> Name:
        """sz_Or_Ord: 0 (none, as ""), 0xFFFF and an ordinal, or a text."""
        (first,) = struct.unpack_from("<H", self.data, self.at)
        if first == 0xFFFF:
            self.at += 2
            return self.take("H")
        return self.text()

    def align(self, boundary: int):
        self.at = (self.at + boundary - 1) // boundary * boundary


def parse_dialog(data: bytes) -> DialogTemplate:
    cursor = _Cursor(data)
    version, signature = cursor.take("HH")
    if (version, signature) != (1, 0xFFFF):
        raise ValueError("not a DIALOGEX template")
    help_id, ex_style, style, count, x, y, cx, cy = cursor.take("IIIHhhhh")
    menu = cursor.name()
    window_class = cursor.name()
    caption = cursor.text()
    template = DialogTemplate(style, ex_style, help_id, x, y, cx, cy, menu, window_class, caption)
    if style & DS_SETFONT:
        template.point_size, template.weight, template.italic, template.charset = cursor.take("HHBB")
        template.typeface = cursor.text()
    for _ in range(count):
        cursor.align(4)
        item_help, item_ex, item_style, ix, iy, icx, icy, item_id = cursor.take("IIIhhhhi")
        item_class = cursor.name()
        if isinstance(item_class, int):
            item_class = CLASS_ATOMS.get(item_class, item_class)
        text = cursor.name()
        extra_size = cursor.take("H")
        extra = data[cursor.at:cursor.at + extra_size]
        cursor.at += extra_size
        template.items.append(DialogItem(item_id, item_class, text, ix, iy, icx, icy, item_style,
                                         item_ex, item_help, extra))
    return template
