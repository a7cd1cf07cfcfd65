#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Writes a small enhanced metafile (EMF): a picture of WIDTH x HEIGHT pixels of a 96 dpi
reference device, its upper half filled with TOP and its lower half with BOTTOM.

Usage: make_emf.py OUT.emf WIDTH HEIGHT TOP BOTTOM   (colours as RRGGBB)
"""
import struct
import sys


def record(kind, *fields):
    return struct.pack("<II", kind, 8 + 4 * len(fields)) + struct.pack(f"<{len(fields)}i", *fields)


def colorref(text):
    r, g, b = (int(text[i:i + 2], 16) for i in (0, 2, 4))
    return r | (g << 8) | (b << 16)


def main():
    out, w, h, top, bottom = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), *sys.argv[4:6]
    body = b"".join([
        record(37, -0x7FFFFFF8),                      # SELECTOBJECT NULL_PEN (0x80000008)
        record(39, 1, 0, colorref(top), 0),           # CREATEBRUSHINDIRECT slot 1
        record(37, 1),                                # SELECTOBJECT
        record(43, -10, -10, w + 10, h // 2),         # RECTANGLE over the upper half
        record(39, 2, 0, colorref(bottom), 0),        # CREATEBRUSHINDIRECT slot 2
        record(37, 2),
        record(43, -10, h // 2, w + 10, h + 10),      # RECTANGLE over the lower half
        record(14, 0, 16, 20),                        # EOF
    ])
    frame = (w * 2540 // 96, h * 2540 // 96)         # hundredths of a millimetre
    header = struct.pack("<II4i4iIIIIHHIII4i", 1, 88, 0, 0, w - 1, h - 1, 0, 0, *frame,
                         0x464D4520, 0x10000, 88 + len(body), 9, 3, 0, 0, 0, 0,
                         960, 960, 254, 254)
    assert len(header) == 88
    with open(out, "wb") as f:
        f.write(header + body)


if __name__ == "__main__":
    main()
