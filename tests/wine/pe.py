"""Reads what the tests check in a Windows executable or DLL: the file header,
the optional header's subsystem and DLL characteristics, the imported DLLs and
the exported names. Standard library only; 32-bit and 64-bit images."""
import struct
from dataclasses import dataclass
from typing import List, Optional

MACHINE_I386 = 0x014C
MACHINE_AMD64 = 0x8664
MAGIC_PE32 = 0x10B
MAGIC_PE32_PLUS = 0x20B
SUBSYSTEM_WINDOWS_GUI = 2
SUBSYSTEM_WINDOWS_CUI = 3
DLLCHARACTERISTICS_DYNAMIC_BASE = 0x0040
DLLCHARACTERISTICS_NX_COMPAT = 0x0100

EXPORT_DIRECTORY = 0
IMPORT_DIRECTORY = 1


@dataclass
class Export:
    ordinal: int
    name: Optional[str]        # None for an export by ordinal alone
    forwarder: Optional[str]   # "dll.name" when the export forwards elsewhere


@dataclass
class Image:
    machine: int
    magic: int
    subsystem: int
    dll_characteristics: int
    imports: List[str]   # DLL names as the import table spells them
    exports: List[Export]


class Reader:
    def __init__(self, data: bytes):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        (self.pe,) = struct.unpack_from("<I", data, 0x3C)
        if data[self.pe:self.pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        coff = self.pe + 4
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, coff)
        self.optional = coff + 20
        (self.magic,) = struct.unpack_from("<H", data, self.optional)
        if self.magic not in (MAGIC_PE32, MAGIC_PE32_PLUS):
            raise ValueError("unknown optional header magic %#x" % self.magic)
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, self.optional + 68)
        directories = self.optional + (96 if self.magic == MAGIC_PE32 else 112)
        (count,) = struct.unpack_from("<I", data, directories - 4)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(count)]
        table = self.optional + optional_size
        self.sections = []
        for i in range(sections):
            size, address, raw_size, raw_offset = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((address, max(size, raw_size), raw_offset))

    def offset(self, rva: int) -> int:
        for address, size, raw_offset in self.sections:
            if address <= rva < address + size:
                return raw_offset + rva - address
        raise ValueError("address %#x lies in no section" % rva)

    def text(self, rva: int) -> str:
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def directory(self, index: int):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def imports(self) -> List[str]:
        rva, size = self.directory(IMPORT_DIRECTORY)
        names = []
        if rva == 0:
            return names
        entry = self.offset(rva)
        while True:
            lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, entry)
            if lookup == 0 and name == 0 and thunks == 0:
                return names
            names.append(self.text(name))
            entry += 20

    def exports(self) -> List[Export]:
        rva, size = self.directory(EXPORT_DIRECTORY)
        if rva == 0:
            return []
        (base, functions, names, function_table, name_table, ordinal_table) = struct.unpack_from(
            "<IIIIII", self.data, self.offset(rva) + 16)
        named = {}
        for i in range(names):
            (name_rva,) = struct.unpack_from("<I", self.data, self.offset(name_table) + 4 * i)
            (index,) = struct.unpack_from("<H", self.data, self.offset(ordinal_table) + 2 * i)
            named[index] = self.text(name_rva)
        exports = []
        for index in range(functions):
            (target,) = struct.unpack_from("<I", self.data, self.offset(function_table) + 4 * index)
            if target == 0:
                continue
            # An address inside the export directory is a forwarder's text.
            forwarder = self.text(target) if rva <= target < rva + size else None
            exports.append(Export(base + index, named.get(index), forwarder))
        return exports


def read_image(path) -> Image:
    with open(path, "rb") as file:
        reader = Reader(file.read())
    return Image(reader.machine, reader.magic, reader.subsystem, reader.dll_characteristics,
                 reader.imports(), reader.exports())
