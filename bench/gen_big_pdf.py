#!/usr/bin/env python3
"""Writes a valid PDF of about N objects with one classic cross-reference table.

usage: gen_big_pdf.py OUTPUT [OBJECT_COUNT]   (default 200000)

Objects 1-3 are the catalog, page tree and one page; the rest are small
dictionaries that nothing refers to, so a reader must still walk every
cross-reference entry while qpdf has the same table to load.
"""
import sys

DEFAULT_OBJECTS = 200_000


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    count = int(argv[2]) if len(argv) == 3 else DEFAULT_OBJECTS
    if count < 3:
        print("gen_big_pdf.py: need at least 3 objects", file=sys.stderr)
        return 2
    parts = [b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n"]
    size = len(parts[0])
    offsets = []
    bodies = {
        1: b"<< /Type /Catalog /Pages 2 0 R >>",
        2: b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        3: b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>",
    }
    for number in range(1, count + 1):
        body = bodies.get(number, b"<< /Filler %d >>" % number)
        chunk = b"%d 0 obj\n%s\nendobj\n" % (number, body)
        offsets.append(size)
        parts.append(chunk)
        size += len(chunk)
    xref_offset = size
    parts.append(b"xref\n0 %d\n0000000000 65535 f \n" % (count + 1))
    parts.extend(b"%010d 00000 n \n" % offset for offset in offsets)
    parts.append(b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n"
                 % (count + 1, xref_offset))
    with open(argv[1], "wb") as out:
        out.write(b"".join(parts))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
