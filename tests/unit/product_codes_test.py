#!/usr/bin/env python3
"""Checks the catalogue product codes against a computation of our own: SHA-1 of
the URL namespace and the name, laid out as RFC 4122 section 4.3 says, without
the uuid module that tools/product_codes.py uses. No code may serve two
products."""
import hashlib
import re
import sys

URL_NAMESPACE = bytes.fromhex("6ba7b8119dad11d180b400c04fd430c8")


def version5(name: str) -> str:
    digest = bytearray(hashlib.sha1(URL_NAMESPACE + name.encode("ascii")).digest()[:16])
    digest[6] = (digest[6] & 0x0F) | 0x50  # version 5
    digest[8] = (digest[8] & 0x3F) | 0x80  # RFC 4122 variant
    h = digest.hex().upper()
    return "{%s-%s-%s-%s-%s}" % (h[:8], h[8:12], h[12:16], h[16:20], h[20:])


def rows(header: str):
    """(name, code) pairs: a quoted name followed, within its row, by a braced code."""
    text = open(header, encoding="ascii").read()
    return re.findall(r'\{"([^"]+)",[^{}]*?"(\{[0-9A-F-]{36}\})"', text)


# Each table, with the number of rows it holds.
TABLES = {"release93_catalogue.h": 31, "installer_catalogue.h": 57}


def main(folder):
    seen = {}
    for header, count in TABLES.items():
        checked = 0
        for name, code in rows(folder + "/" + header):
            expected = version5("urn:mirovant931:product:" + name)
            if code != expected:
                print(f"{header}: {name}: {code}, expected {expected}")
                return 1
            if code in seen:
                print(f"{header}: {name}: {code} is also the code of {seen[code]}")
                return 1
            seen[code] = name
            checked += 1
        if checked != count:
            print(f"{header}: found {checked} rows, expected {count}")
            return 1
    print(f"{len(seen)} product codes checked")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
