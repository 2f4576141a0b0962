#!/usr/bin/env python3
"""Writes the registry of a fixture machine as REGEDIT4 files, one per kind of
Wine prefix, from the readable description in machines/<name>/machine.py.

A description names installed products by their catalogue name, their applied
patches by display name, and the family's registry keys with their values; this
script adds what Windows Installer keeps for them (packed codes, Products,
UserData, Patches, LocalPackage). Each machine folder gets:

    win64.reg   for a 64-bit prefix, imported with the 64-bit reg.exe: the
                default (32-bit) view of a 32-bit program lies under
                SOFTWARE\\Wow6432Node, the 64-bit view at the plain paths
    win32.reg   for a 32-bit prefix: one view, so the 64-bit keys are absent

Both files first delete every key a machine may write, so importing one
replaces whatever machine the prefix held before. Keys and values are written
sorted by name: Wine lists them so, and Windows in the order they were made,
which is then the same. Product codes are read from the catalogue tables in
src/scan, so a product is named as the program's tables name it.

The files are committed beside the descriptions; test_fixtures.py checks that
they are what this script makes. After changing a description or a catalogue:

    tests/wine/make_machine.py           # writes the files of every machine
    tests/wine/make_machine.py --check   # lists stale files, exit status 1 if any
"""
import importlib.util
import pathlib
import re
import sys
import uuid
from dataclasses import dataclass, field
from typing import Dict, List, Optional, Union

HERE = pathlib.Path(__file__).resolve().parent
MACHINES = HERE / "machines"
CATALOGUES = HERE.parent.parent / "src" / "scan"

# Values: text (REG_SZ), int (REG_DWORD) or a list of texts (REG_MULTI_SZ).
# The name "" is the key's default value.
Value = Union[str, int, List[str]]
Keys = Dict[str, Dict[str, Value]]

MACHINE_SID = "S-1-5-18"
USER_SID = "S-1-5-21-0-0-0-1000"  # the user of every Wine prefix
CLASSES_INSTALLER = r"HKEY_LOCAL_MACHINE\SOFTWARE\Classes\Installer"
USER_DATA = r"HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UserData"
USER_INSTALLER = r"HKEY_CURRENT_USER\Software\Microsoft\Installer"

# Every key a machine may write. A fresh prefix holds none of them.
OWNED_KEYS = [
    r"HKEY_LOCAL_MACHINE\SOFTWARE\TOLV",
    CLASSES_INSTALLER + r"\Products",
    CLASSES_INSTALLER + r"\Patches",
    USER_DATA + "\\" + MACHINE_SID,
    USER_DATA + "\\" + USER_SID,
    USER_INSTALLER + r"\Products",
    USER_INSTALLER + r"\Patches",
]
WOW64_NODE_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\TOLV"


@dataclass
class Patch:
    """An installer patch applied to a product."""
    display_name: str
    # False leaves out the patch's own UserData key (with its LocalPackage):
    # Windows Installer then cannot read its properties per machine, as for a
    # patch whose registration is incomplete.
    readable: bool = True
    code: Optional[str] = None  # braced; made from the product and position when None


@dataclass
class Product:
    """A product registered with Windows Installer."""
    name: str  # its catalogue name, which gives its product code
    patches: List[Patch] = field(default_factory=list)
    per_user: bool = False  # installed for the prefix's user alone (unmanaged)
    code: Optional[str] = None  # braced; needed for a name that no catalogue holds


@dataclass
class Machine:
    products: List[Product] = field(default_factory=list)
    keys: Keys = field(default_factory=dict)    # the view a 32-bit program reads by default
    keys64: Keys = field(default_factory=dict)  # the 64-bit view of 64-bit Windows


def catalogue_codes() -> Dict[str, str]:
    """Catalogue name -> product code, as the program's tables hold them."""
    codes = {}
    for header in ("release93_catalogue.h", "installer_catalogue.h"):
        text = (CATALOGUES / header).read_text(encoding="ascii")
        for name, code in re.findall(r'\{"([^"]+)",[^{}]*?"(\{[0-9A-F-]{36}\})"', text):
            codes[name] = code
    return codes


def pack_guid(code: str) -> str:
    """{AABBCCDD-EEFF-GGHH-IIJJ-KKLLMMNNOOPP} -> DDCCBBAAFFEEHHGGJJIILLKKNNMMPPOO."""
    digits = code.strip("{}").replace("-", "").upper()
    assert len(digits) == 32, code
    swapped = "".join(digits[i + 1] + digits[i] for i in range(16, 32, 2))
    return digits[7::-1] + digits[11:7:-1] + digits[15:11:-1] + swapped


def patch_code(product: Product, position: int) -> str:
    name = "urn:mirovant931:test-patch:%s:%d" % (product.name, position)
    return "{%s}" % str(uuid.uuid5(uuid.NAMESPACE_URL, name)).upper()


def installer_keys(products: List[Product], codes: Dict[str, str]) -> Keys:
    """The keys through which Windows Installer knows the products and patches."""
    keys: Keys = {}
    for product in products:
        code = product.code or codes.get(product.name)
        if code is None:
            raise KeyError("no catalogue holds %r: give its code" % product.name)
        packed = pack_guid(code)
        sid = USER_SID if product.per_user else MACHINE_SID
        products_key = (USER_INSTALLER if product.per_user else CLASSES_INSTALLER) + "\\Products\\" + packed
        user_data = USER_DATA + "\\" + sid
        keys[products_key] = {"ProductName": product.name}
        keys[user_data + r"\Products\%s\InstallProperties" % packed] = {
            "DisplayName": product.name,
            "LocalPackage": r"C:\windows\Installer\%s.msi" % packed[:8],
        }
        if not product.patches:
            continue
        patch_codes = [pack_guid(p.code or patch_code(product, i)) for i, p in enumerate(product.patches)]
        # One value per patch beside the list; Wine reads the patch state with
        # the size of that value's data, so it must not be empty.
        listing: Dict[str, Value] = {"Patches": patch_codes}
        listing.update({packed_patch: ":patch" for packed_patch in patch_codes})
        keys[products_key + r"\Patches"] = listing
        for patch, packed_patch in zip(product.patches, patch_codes):
            keys[user_data + r"\Products\%s\Patches\%s" % (packed, packed_patch)] = {
                "DisplayName": patch.display_name,
                "State": 1,  # applied
            }
            if patch.readable:
                keys[user_data + "\\Patches\\" + packed_patch] = {
                    "LocalPackage": r"C:\windows\Installer\%s.msp" % packed_patch[:8]}
    return keys


def quote(text: str) -> str:
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def value_line(name: str, value: Value) -> str:
    left = "@" if name == "" else quote(name)
    if isinstance(value, str):
        right = quote(value)
    elif isinstance(value, int):
        right = "dword:%08x" % value
    else:
        data = b"".join(text.encode("cp1252") + b"\0" for text in value) + b"\0"
        right = "hex(7):" + ",".join("%02x" % byte for byte in data)
    return "%s=%s" % (left, right)


def sort_key(name: str) -> str:
    # Wine lists values and subkeys by name, ignoring case.
    return name.upper()


def wow64_path(path: str) -> str:
    """The 32-bit view of a HKEY_LOCAL_MACHINE\\SOFTWARE path, as a 64-bit program sees it."""
    head, _, rest = path.partition("\\")
    assert head.upper() == "SOFTWARE", "a 32-bit view key must lie under SOFTWARE: " + path
    return "SOFTWARE\\Wow6432Node\\" + rest


def render(machine: Machine, wow64: bool, codes: Dict[str, str]) -> bytes:
    """The REGEDIT4 file for one kind of prefix, with CR LF line ends."""
    keys: Keys = {}
    for path, values in machine.keys.items():
        keys["HKEY_LOCAL_MACHINE\\" + (wow64_path(path) if wow64 else path)] = values
    if wow64:
        for path, values in machine.keys64.items():
            keys["HKEY_LOCAL_MACHINE\\" + path] = values
    keys.update(installer_keys(machine.products, codes))

    owned = OWNED_KEYS + ([WOW64_NODE_KEY] if wow64 else [])
    for path in keys:
        assert any(path.upper().startswith(root.upper() + "\\") for root in owned), \
            "not under a key that the next machine deletes: " + path

    lines = ["REGEDIT4", ""]
    lines += ["[-%s]" % root for root in owned] + [""]
    for path in sorted(keys, key=lambda p: [sort_key(part) for part in p.split("\\")]):
        lines.append("[%s]" % path)
        values = keys[path]
        lines += [value_line(name, values[name]) for name in sorted(values, key=sort_key)]
        lines.append("")
    return "\r\n".join(lines + [""]).encode("cp1252")


def load_machine(folder: pathlib.Path) -> Machine:
    source = importlib.util.spec_from_file_location("machine_" + folder.name, folder / "machine.py")
    module = importlib.util.module_from_spec(source)
    source.loader.exec_module(module)
    return module.MACHINE


def machine_files(folder: pathlib.Path, codes: Dict[str, str]) -> Dict[pathlib.Path, bytes]:
    machine = load_machine(folder)
    return {folder / "win64.reg": render(machine, True, codes),
            folder / "win32.reg": render(machine, False, codes)}


def machine_folders() -> List[pathlib.Path]:
    return sorted(path.parent for path in MACHINES.glob("*/machine.py"))


def main(argv: List[str]) -> int:
    check = argv == ["--check"]
    if argv and not check:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    sys.path.insert(0, str(HERE))  # descriptions import this module by name
    codes = catalogue_codes()
    stale = []
    for folder in machine_folders():
        for path, data in machine_files(folder, codes).items():
            if path.exists() and path.read_bytes() == data:
                continue
            stale.append(path)
            if not check:
                path.write_bytes(data)
    for path in stale:
        print(("stale: " if check else "wrote ") + str(path.relative_to(HERE)))
    return 1 if check and stale else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
