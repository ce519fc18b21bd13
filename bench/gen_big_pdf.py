#!/usr/bin/env python3
"""Writes a valid PDF of about N objects with one classic cross-reference table,
or with one cross-reference stream (Flate, PNG Up rows) as current writers do.

usage: gen_big_pdf.py [--xref-stream] OUTPUT [OBJECT_COUNT]   (default 200000)

Objects 1-3 are the catalog, page tree and one page; the rest are small
dictionaries that nothing refers to, so a reader must still walk every
cross-reference entry while qpdf has the same table to load.
"""
import sys
import zlib

DEFAULT_OBJECTS = 200_000


def xref_stream(number, offsets, at):
    """Object `number` at `at`: the entries of objects 0 to `number`."""
    rows = [b"\x00\x00\x00\x00\x00\xff\xff"]
    rows += [b"\x01" + o.to_bytes(4, "big") + b"\x00\x00" for o in offsets + [at]]
    previous, data = bytes(7), bytearray()
    for row in rows:
        data += b"\x02" + bytes((a - b) & 0xFF for a, b in zip(row, previous))
        previous = row
    packed = zlib.compress(bytes(data))
    return (b"%d 0 obj\n<< /Type /XRef /Size %d /W [1 4 2] /Root 1 0 R /Filter /FlateDecode"
            b" /DecodeParms << /Predictor 12 /Columns 7 >> /Length %d >>\nstream\n"
            % (number, number + 1, len(packed)) + packed + b"\nendstream\nendobj\n")


def main(argv):
    stream = len(argv) > 1 and argv[1] == "--xref-stream"
    if stream:
        argv = argv[:1] + argv[2:]
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
    if stream:
        parts.append(xref_stream(count + 1, offsets, size))
        parts.append(b"startxref\n%d\n%%%%EOF\n" % xref_offset)
        with open(argv[1], "wb") as out:
            out.write(b"".join(parts))
        return 0
    parts.append(b"xref\n0 %d\n0000000000 65535 f \n" % (count + 1))
    parts.extend(b"%010d 00000 n \n" % offset for offset in offsets)
    parts.append(b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n"
                 % (count + 1, xref_offset))
    with open(argv[1], "wb") as out:
        out.write(b"".join(parts))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
