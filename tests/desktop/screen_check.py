#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-2.0-or-later
"""Finds a framed image on a screenshot and checks its frame, picture and shadow.

Usage: screen_check.py SHOT.ppm WIDTH HEIGHT FRAME BACKGROUND TOP BOTTOM
  WIDTH, HEIGHT  size of the image shown at actual size
  FRAME          width of the photo frame (white)
  BACKGROUND     window colour, RRGGBB
  TOP, BOTTOM    expected colours (RRGGBB) of the image's top-left and bottom-left corners
Prints what it found; exit status 0 when everything matches.
"""
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise SystemExit(f"{path}: not an 8-bit P6 picture")
    return int(fields[1]), int(fields[2]), data[pos + 1:]


def colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def main():
    path, w, h, frame, bg, top, bottom = sys.argv[1:8]
    w, h, frame = int(w), int(h), int(frame)
    bg, top, bottom = colour(bg), colour(top), colour(bottom)
    sw, sh, px = read_ppm(path)

    def at(x, y):
        i = 3 * (y * sw + x)
        return tuple(px[i:i + 3])

    def near(a, b, tol):
        return all(abs(p - q) <= tol for p, q in zip(a, b))

    # The frame's top band: rows holding a run of exactly the framed width of white pixels.
    outer_w, outer_h = w + 2 * frame, h + 2 * frame
    white = b"\xff\xff\xff"
    band = white * outer_w
    origin = None
    for y in range(sh):
        row = px[3 * y * sw:3 * (y + 1) * sw]
        i = row.find(band)
        while i >= 0 and not origin:
            if i % 3:
                i = row.find(band, i + 1)
                continue
            end = i + len(band)
            while end < len(row) and row[end:end + 3] == white:
                end += 3
            if (i == 0 or row[i - 3:i] != white) and end == i + len(band):
                origin = (i // 3, y)
            else:
                i = row.find(band, end)
        if origin:
            break
    if not origin:
        print(f"no white frame {outer_w} pixels wide on the screen")
        return 1
    x0, y0 = origin
    print(f"frame {outer_w}x{outer_h} found at ({x0}, {y0})")
    failures = []

    def expect(what, ok, seen):
        if not ok:
            failures.append(f"{what}: saw {seen}")

    if y0 + outer_h + 10 >= sh or x0 + outer_w + 10 >= sw:
        print("the frame reaches the edge of the screen")
        return 1
    # The whole band is white: top, bottom, left and right.
    for (x, y) in [(x0, y0 + frame - 1), (x0 + outer_w - 1, y0), (x0, y0 + outer_h - 1),
                   (x0 + outer_w - 1, y0 + outer_h - 1), (x0 + frame - 1, y0 + outer_h // 2),
                   (x0 + outer_w - frame, y0 + outer_h // 2)]:
        expect(f"frame pixel ({x}, {y})", at(x, y) == (255, 255, 255), at(x, y))
    # The picture inside it: the image's own corners (JPEG allows a small error).
    ix, iy = x0 + frame, y0 + frame
    expect("image top-left", near(at(ix + 2, iy + 2), top, 16), at(ix + 2, iy + 2))
    expect("image bottom-left", near(at(ix + 2, iy + h - 3), bottom, 16), at(ix + 2, iy + h - 3))
    # Background left of and above the frame, where no shadow falls.
    for (x, y) in [(x0 - 3, y0 + outer_h // 2), (x0 + outer_w // 2, y0 - 3)]:
        expect(f"background ({x}, {y})", at(x, y) == bg, at(x, y))
    # The shadow: darker than the background just right of and below the frame, the plain
    # background again further out.
    for (x, y) in [(x0 + outer_w + 2, y0 + outer_h // 2), (x0 + outer_w // 2, y0 + outer_h + 2)]:
        seen = at(x, y)
        expect(f"shadow ({x}, {y})", sum(seen) < sum(bg) - 30 and seen != bg, seen)
    for (x, y) in [(x0 + outer_w + 9, y0 + outer_h // 2), (x0 + outer_w // 2, y0 + outer_h + 9)]:
        expect(f"beyond the shadow ({x}, {y})", at(x, y) == bg, at(x, y))

    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
