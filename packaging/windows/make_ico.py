#!/usr/bin/env python3
"""Packs PNG pictures into one Windows icon file (each picture stored as PNG, which Windows
reads since Vista).   make_ico.py OUT.ico IN.png..."""
import struct
import sys


def size_of(png):
    if png[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit("not a PNG")
    return struct.unpack(">II", png[16:24])


def main():
    out, pngs = sys.argv[1], [open(p, "rb").read() for p in sys.argv[2:]]
    header = struct.pack("<HHH", 0, 1, len(pngs))
    offset = len(header) + 16 * len(pngs)
    entries, data = b"", b""
    for png in pngs:
        w, h = size_of(png)
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(png), offset)
        offset += len(png)
        data += png
    with open(out, "wb") as f:
        f.write(header + entries + data)


if __name__ == "__main__":
    main()
