#!/usr/bin/env python3
"""Writes a large registry export of a made-up 64-bit machine, as `reg export
HKLM\\SOFTWARE` writes it (UTF-16LE with BOM, CR LF, hex data wrapped at 80
columns), for benchmarking mirovant-offline.

The machine has vendors with products, versions and settings holding every
value type, COM classes, and the installer's registration with thousands of
components; the family's keys and one installed product with a patch and hot
fixes lie in the middle. The report mirovant-offline must write for it is
EXPECTED_REPORT.

Usage: tools/make_big_export.py OUTPUT.reg [SIZE_MB]
"""
import random
import sys

EXPECTED_REPORT = (
    "Kavren Desktop 9.3\r\n\tKavren Desktop 9.3.1\r\n\tDesktop fix\r\n"
    "\tHot fix one\r\n\tHot fix two\r\n\r\n"
    "Kavren Desktop 9.4\r\n\tUpdate one\r\n\r\n"
)

MACHINE = "HKEY_LOCAL_MACHINE\\SOFTWARE"
INSTALLER = MACHINE + "\\Microsoft\\Windows\\CurrentVersion\\Installer"
WORDS = ("Acme Contoso Fabrikam Northwind Tailspin Wingtip Litware Proseware Adatum Woodgrove "
         "Server Client Tools Runtime Shell Media Engine Update Service Agent Driver Viewer "
         "Settings Options Plugins Components Capabilities Defaults Policies Cache Recent "
         "Caf\u00e9 M\u00fcnchen \u65e5\u672c\u8a9e \u00c5ngstr\u00f6m").split()


def pack(code):
    d = code.strip("{}").replace("-", "")
    return d[0:8][::-1] + d[8:12][::-1] + d[12:16][::-1] + "".join(
        d[i + 1] + d[i] for i in range(16, 32, 2))


def guid(rng):
    h = "%032X" % rng.getrandbits(128)
    return "{%s-%s-%s-%s-%s}" % (h[0:8], h[8:12], h[12:16], h[16:20], h[20:32])


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def hex_value(name, type_text, data):
    """A hex value wrapped as regedit wraps it: lines of at most 80 columns."""
    head = "%s=%s:" % (name, type_text)
    parts = ["%02x" % b for b in data]
    lines = []
    line = head
    for i, part in enumerate(parts):
        piece = part + ("," if i + 1 < len(parts) else "")
        if len(line) + len(piece) > 77:
            lines.append(line + "\\")
            line = "  "
        line += piece
    lines.append(line)
    return "\r\n".join(lines)


def random_value(rng, index):
    name = quoted("%s%d" % (rng.choice(WORDS), index))
    kind = rng.randrange(10)
    if kind < 4:
        text = "C:\\Program Files\\%s\\%s %d.%d" % (rng.choice(WORDS), rng.choice(WORDS),
                                                     rng.randrange(20), rng.randrange(100))
        return name + "=" + quoted(text)
    if kind < 6:
        return name + "=dword:%08x" % rng.getrandbits(32)
    if kind == 6:
        return hex_value(name, "hex", bytes(rng.getrandbits(8) for _ in range(rng.randrange(4, 120))))
    if kind == 7:
        text = "%%ProgramFiles%%\\%s\\bin;%%SystemRoot%%\\system32\0" % rng.choice(WORDS)
        return hex_value(name, "hex(2)", text.encode("utf-16-le"))
    if kind == 8:
        text = "\0".join(rng.choice(WORDS) for _ in range(rng.randrange(1, 6))) + "\0\0"
        return hex_value(name, "hex(7)", text.encode("utf-16-le"))
    return hex_value(name, "hex(b)", rng.getrandbits(64).to_bytes(8, "little"))


def vendor_block(rng, prefix):
    vendor = "%s %d" % (rng.choice(WORDS), rng.randrange(100000))
    out = []
    for product in range(rng.randrange(2, 6)):
        base = "%s\\%s\\%s %d" % (prefix, vendor, rng.choice(WORDS), product)
        out.append("[%s]" % base)
        out.append('@="%s"' % rng.choice(WORDS))
        for sub in range(rng.randrange(2, 8)):
            out.append("")
            out.append("[%s\\%s%d]" % (base, rng.choice(WORDS), sub))
            for i in range(rng.randrange(0, 7)):
                out.append(random_value(rng, i))
        out.append("")
    return out


def class_block(rng):
    clsid = guid(rng)
    key = MACHINE + "\\Classes\\CLSID\\" + clsid
    return ["[%s]" % key, '@="%s Class"' % rng.choice(WORDS), "",
            "[%s\\InprocServer32]" % key,
            '@="C:\\\\Windows\\\\System32\\\\%s.dll"' % rng.choice(WORDS).lower(),
            '"ThreadingModel"="Both"', "", "[%s\\ProgID]" % key,
            '@="%s.%s.1"' % (rng.choice(WORDS), rng.choice(WORDS)), ""]


def component_block(rng):
    key = INSTALLER + "\\UserData\\S-1-5-18\\Components\\" + pack(guid(rng))
    return ["[%s]" % key,
            '"%s"="C:\\\\Program Files\\\\%s\\\\%s.dll"' % (pack(guid(rng)), rng.choice(WORDS),
                                                           rng.choice(WORDS)), ""]


def family_block():
    desktop = "{A8EF3AF3-4F3E-5E3F-BD8A-3EC0BE135D99}"
    patches = [("{00000000-0000-0000-0000-00000000000A}", "Kavren Desktop 9.3.1"),
               ("{00000000-0000-0000-0000-00000000000B}", "Desktop fix")]
    product = pack(desktop)
    listed = "".join(pack(code) + "\0" for code, _ in patches) + "\0"
    out = ["[%s\\Wow6432Node\\TOLV\\Grelkin\\Desktop\\8.0]" % MACHINE,
           '"ProductName"="Kavren Desktop"', '"SPNumber"="3"', "",
           "[%s\\Wow6432Node\\TOLV\\QFE\\Desktop\\SP3]" % MACHINE,
           '"Q1"="Hot fix one"', '"Q2"="Hot fix two"', "",
           "[%s\\Wow6432Node\\TOLV\\Desktop9.4]" % MACHINE,
           '"ProductName"="Kavren Desktop"', '"RealVersion"="9.4.1"', "",
           "[%s\\Wow6432Node\\TOLV\\Desktop9.4\\Updates\\U1]" % MACHINE, '"Name"="Update one"', "",
           "[%s\\Classes\\Installer\\Products\\%s]" % (MACHINE, product),
           '"ProductName"="Kavren Desktop"', "",
           "[%s\\Classes\\Installer\\Products\\%s\\Patches]" % (MACHINE, product),
           hex_value('"Patches"', "hex(7)", listed.encode("utf-16-le"))]
    out += ['"%s"=":patch"' % pack(code) for code, _ in patches]
    out += ["", "[%s\\UserData\\S-1-5-18\\Products\\%s\\InstallProperties]" % (INSTALLER, product),
            '"DisplayName"="Kavren Desktop"', ""]
    for code, name in patches:
        out += ["[%s\\UserData\\S-1-5-18\\Products\\%s\\Patches\\%s]" % (INSTALLER, product, pack(code)),
                '"State"=dword:00000001', '"DisplayName"=%s' % quoted(name), "",
                "[%s\\UserData\\S-1-5-18\\Patches\\%s]" % (INSTALLER, pack(code)),
                '"LocalPackage"="C:\\\\Windows\\\\Installer\\\\%s.msp"' % code[1:9], ""]
    return out


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    target = int(sys.argv[2]) if len(sys.argv) == 3 else 600
    target_bytes = target * 1024 * 1024
    rng = random.Random(931)
    written = 0
    family_written = False
    makers = [lambda: vendor_block(rng, MACHINE), lambda: vendor_block(rng, MACHINE + "\\Wow6432Node"),
              lambda: class_block(rng), lambda: component_block(rng), lambda: component_block(rng)]
    with open(sys.argv[1], "wb") as out:
        out.write(b"\xff\xfe")
        out.write("Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n\r\n[%s\\Wow6432Node]\r\n\r\n"
                  .replace("%s", MACHINE).encode("utf-16-le"))
        while written < target_bytes:
            lines = []
            while len(lines) < 20000:
                lines += rng.choice(makers)()
            if not family_written and written >= target_bytes // 2:
                lines += family_block()
                family_written = True
            block = ("\r\n".join(lines) + "\r\n").encode("utf-16-le")
            out.write(block)
            written += len(block)


if __name__ == "__main__":
    main()
