"""Products of releases 9.3 and 9.3.1: titles by service pack and release patch,
applied patches at the edges of the display-name buffer, and hot-fix keys."""
from make_machine import Machine, Patch, Product

DESKTOP_KEY = r"SOFTWARE\TOLV\Grelkin\Desktop\8.0"


def name_of_length(length: int, start: str) -> str:
    """A display name of exactly `length` characters."""
    digits = "0123456789" * 13
    return (start + digits)[:length]


MACHINE = Machine(
    products=[
        # Row 0: a release patch named as the versioned name keeps the title at
        # 9.3, however high the service pack. Of its other patches, the
        # 128-character name and the one without a package are not listed.
        Product("Kavren Desktop 9.3.1", patches=[
            Patch("Kavren Desktop Security Update 1"),
            Patch("Kavren Desktop 9.3.1"),
            Patch(name_of_length(127, "Kavren Desktop patch of 127 characters ")),
            Patch(name_of_length(128, "Kavren Desktop patch of 128 characters ")),
            Patch("Kavren Desktop patch without a package", readable=False),
            Patch("Kavren Desktop Security Update 2"),
        ]),
        # Row 1 shares row 0's key, so its service pack too; it has no patches.
        Product("Kavren Desktop Evaluation Edition 9.3.1"),
        # Row 3: "SPNumber" " 4x" reads as 4.
        Product("Kavren Desktop SDK for Visual C++ 9.3.1"),
        # Row 6: service pack 1, no patches.
        Product("Ossirend 9.3.1"),
        # Row 7: service pack 2, no patches: release 9.3.1.
        Product("Kavren Engine Runtime 9.3.1"),
        # Row 14: no "SPNumber": 9.3, and hot fixes of SP0.
        Product("Kavren Server for the Microsoft .NET Framework 9.3.1"),
        # Row 17: patches, none named exactly as the versioned name.
        Product("Kavren Vordun 9.3.1", patches=[
            Patch("kavren vordun 9.3.1"),
            Patch("Kavren Vordun Hot Fix Rollup"),
        ]),
        # Row 24: installed, but its registry key is missing: no entry.
        Product("Kavren Belsar for Oracle10g 9.3.1", patches=[Patch("Oracle10g patch never shown")]),
    ],
    keys={
        DESKTOP_KEY: {"ProductName": "Kavren Desktop", "SPNumber": "3"},
        r"SOFTWARE\TOLV\Kavren Desktop SDK for Visual C++": {
            "ProductName": "Kavren Desktop SDK for Visual C++", "SPNumber": " 4x"},
        r"SOFTWARE\TOLV\Ossirend": {"ProductName": "Ossirend", "SPNumber": "1"},
        r"SOFTWARE\TOLV\Kavren Engine Runtime": {"ProductName": "Kavren Engine Runtime", "SPNumber": "2"},
        r"SOFTWARE\TOLV\Kestrova\Microsoft .NET Framework Edition": {
            "ProductName": "Kavren Server for the Microsoft .NET Framework"},
        r"SOFTWARE\TOLV\Vordun": {  # also a 9.4 key: its "RealVersion" keeps it out of that pass
            "ProductName": "Kavren Vordun", "RealVersion": "9.3.1", "SPNumber": "4"},
        # A product key of a product that is not installed: no entry.
        r"SOFTWARE\TOLV\Image Server": {"ProductName": "Kavren Image Server", "SPNumber": "2"},
        # Hot fixes: one line per value, the default value included.
        r"SOFTWARE\TOLV\QFE\Desktop\SP3": {
            "": "Desktop hot fix in the default value",
            "QFE1001": "Desktop QFE 1001: map printing",
            "QFE1002": "Desktop QFE 1002: label placement",
            "QFE1003": "",
        },
        r"SOFTWARE\TOLV\QFE\Ossirend\SP1": {"QFE2001": "Ossirend QFE 2001"},
        r"SOFTWARE\TOLV\QFE\Engine\SP2": {},
        r"SOFTWARE\TOLV\QFE\ServerDotNet\SP0": {"QFE3001": "Server .NET QFE 3001 (before any service pack)"},
        r"SOFTWARE\TOLV\QFE\Vordun\SP4": {"QFE4001": "Vordun QFE 4001", "QFE4002": "Vordun QFE 4002"},
    },
    # Release 9.3 is read in the 32-bit view alone, also on 64-bit Windows.
    keys64={
        r"SOFTWARE\TOLV\Ossirend": {"ProductName": "Ossirend of the 64-bit view", "SPNumber": "5"},
        r"SOFTWARE\TOLV\QFE\Ossirend\SP1": {"QFE2001": "Ossirend hot fix of the 64-bit view"},
    },
)
