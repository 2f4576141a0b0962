#!/usr/bin/env python3
"""Prints the product code of each name given, one per line, as the catalogue
tables hold them: the upper-case, braced version-5 UUID in the URL namespace
of "urn:mirovant931:product:" followed by the name.

    tools/product_codes.py "Kavren Desktop 9.3.1" "Ossirend 9.3.1"
    tools/product_codes.py --table < names.txt   # C++ rows: { "name", "{code}" },
"""
import sys
import uuid

PREFIX = "urn:mirovant931:product:"


def product_code(name: str) -> str:
    return "{%s}" % str(uuid.uuid5(uuid.NAMESPACE_URL, PREFIX + name)).upper()


def main(argv):
    if argv[:1] == ["--table"]:
        for line in sys.stdin:
            name = line.rstrip("\n")
            if name:
                print('{ "%s", "%s" },' % (name, product_code(name)))
        return 0
    if not argv:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    for name in argv:
        print(product_code(name))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
