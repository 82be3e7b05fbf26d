#!/usr/bin/env python3
"""Draw the Tharvok program icon and write it as a Windows .ico file, or as a PNG image of any
size (the web page's icons).

The icon is a smiling adventurer's face under a green hat with a red band:
at 32 x 32 drawn from simple shapes, with edges smoothed by sampling each
pixel 4 x 4 times; at 16 x 16, where smoothing only blurs, set pixel by pixel.
Both are 32-bit colour with an alpha channel, plus the 1-bit transparency
mask older Windows reads.  The output is the same byte for byte on every run.

Usage:  python3 tools/icon/make_icon.py OUTPUT.ico
        python3 tools/icon/make_icon.py --png SIZE OUTPUT.png
"""

import math
import struct
import sys
import zlib

SIZES = (16, 32)
SUBSAMPLES = 4

OUTLINE = (58, 36, 16)
FACE = (245, 197, 66)
HAT = (46, 139, 62)
BRIM = (30, 96, 42)
BAND = (192, 57, 43)
EYE = (32, 32, 32)
SMILE = (140, 30, 30)

# The small icon, pixel by pixel; "." is transparent.
SMALL = (
    "................",
    "....HHHHHHHH....",
    "....HHHHHHHH....",
    "....HHHHHHHH....",
    "....BBBBBBBB....",
    ".RRRRRRRRRRRRRR.",
    "..OFFFFFFFFFFO..",
    ".OFFFFFFFFFFFFO.",
    ".OFFFEFFFFEFFFO.",
    ".OFFFEFFFFEFFFO.",
    ".OFFFFFFFFFFFFO.",
    ".OFFSFFFFFFSFFO.",
    ".OFFFSSSSSSFFFO.",
    "..OFFFFFFFFFFO..",
    "...OOOOOOOOOO...",
    "................",
)
SMALL_COLOURS = {"H": HAT, "B": BAND, "R": BRIM, "O": OUTLINE, "F": FACE, "E": EYE, "S": SMILE}

FACE_CENTRE = (0.5, 0.6)
FACE_RADIUS = 0.37
OUTLINE_WIDTH = 0.07


def inside_circle(x, y, centre, radius):
    return math.hypot(x - centre[0], y - centre[1]) <= radius


def colour_at(x, y):
    """The colour of the topmost shape at (x, y) in unit coordinates, or None."""
    colour = None
    distance = math.hypot(x - FACE_CENTRE[0], y - FACE_CENTRE[1])
    if distance <= FACE_RADIUS:
        colour = OUTLINE if distance > FACE_RADIUS - OUTLINE_WIDTH else FACE
    # The hat: a crown with a band, on a brim wider than the face; edges on whole pixels of
    # the large icon (1/32 steps) so that they stay sharp.
    if 9 / 32 <= x <= 23 / 32 and 2 / 32 <= y <= 10 / 32:
        colour = BAND if y >= 8 / 32 else HAT
    if 3 / 32 <= x <= 29 / 32 and 10 / 32 <= y <= 12 / 32:
        colour = BRIM
    # Eyes and a smile.
    for eye_x in (0.39, 0.61):
        if inside_circle(x, y, (eye_x, 0.54), 0.06):
            colour = EYE
    if 0.15 <= distance <= 0.22 and y >= FACE_CENTRE[1] + 0.06:
        colour = SMILE
    return colour


def render(size):
    """Rows of (r, g, b, a) tuples, top row first."""
    if size == len(SMALL):
        return [
            [SMALL_COLOURS[c] + (255,) if c != "." else (0, 0, 0, 0) for c in line]
            for line in SMALL
        ]
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0, 0, 0]
            covered = 0
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    x = (px + (sx + 0.5) / SUBSAMPLES) / size
                    y = (py + (sy + 0.5) / SUBSAMPLES) / size
                    colour = colour_at(x, y)
                    if colour is not None:
                        covered += 1
                        for i in range(3):
                            total[i] += colour[i]
            if covered == 0:
                row.append((0, 0, 0, 0))
                continue
            alpha = round(255 * covered / (SUBSAMPLES * SUBSAMPLES))
            row.append(tuple(round(t / covered) for t in total) + (alpha,))
        rows.append(row)
    return rows


def bitmap(size):
    """One icon image: the header, the colour pixels and the mask, rows bottom-up."""
    rows = render(size)
    mask_stride = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack(
        "<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0
    )
    return header + bytes(pixels) + bytes(mask)


def icon_file():
    images = [bitmap(size) for size in SIZES]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    return bytes(out)


def png_file(size):
    """The icon at `size` pixels as a PNG image: 8-bit RGBA, each row unfiltered."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in render(size))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main(argv):
    if len(argv) == 4 and argv[1] == "--png" and argv[2].isdigit():
        data = png_file(int(argv[2]))
    elif len(argv) == 2:
        data = icon_file()
    else:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[-1], "wb") as out:
        out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
