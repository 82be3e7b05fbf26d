#!/usr/bin/env python3
"""Write the two small worlds the Windows console cross-check plays.

  lf/    grid rows end in LF
  crlf/  the same worlds with CR LF row ends, which must load the same

Each folder is a game folder: config.ini (a copy of data/config.ini) and
bin/world/<stem>.wgf/.wif.  The start world puts control bytes (7, 8, 9,
10, 13) and bytes of 128 and more next to the start cell, where the walk
goes over them, and a link three cells to the right of the start.

Usage:  python3 tests/win32/worlds/make_worlds.py   (from anywhere)
"""

import os
import shutil
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from start_world import STEM as START  # noqa: E402
CAVE = "5e0d7c1a9b2f4e6a8c3d1f0b7a9e2c4d"
WIDTH, HEIGHT = 80, 25


def blank_world(floor):
    """Water all round, `floor` inside."""
    rows = []
    for y in range(HEIGHT):
        if y in (0, HEIGHT - 1):
            rows.append(bytearray(b"~" * WIDTH))
        else:
            rows.append(bytearray(b"~" + floor * (WIDTH - 2) + b"~"))
    return rows


def put(rows, x, y, data):
    rows[y][x : x + len(data)] = data


def start_world():
    rows = blank_world(b".")
    put(rows, 3, 2, b"THE START MEADOW")
    # Row 12, left of the start cell (40, 12): control bytes among high bytes. A 13 is never
    # followed by a 10 inside a row: that pair is a line break.
    put(rows, 30, 12, bytes([0xB0, 7, 0xB1, 8, 0xB2, 9, 0xDB, 13, 0x80, 10]))
    # Row 11 above the start: every byte from 128 to 175.
    put(rows, 20, 11, bytes(range(128, 176)))
    # Row 13 below the start: bytes from 176 to 255, bar the ones that block or link.
    put(rows, 2, 13, bytes(range(176, 256)[:76]))
    # A link three cells to the right of the start, and a "-" with no link further on.
    put(rows, 43, 12, b"-")
    put(rows, 60, 12, b"-")
    # Scenery in every colour of the map.
    put(rows, 5, 20, b"~~~~ ,,,, ++++ |||| 0000 ;;;; .... ####")
    # Control bytes in the last column of some rows.
    rows[5][WIDTH - 1] = 7
    rows[6][WIDTH - 1] = 10
    rows[7][WIDTH - 1] = 9
    info = b"Start meadow 1\nGate " + CAVE.encode() + b" 43 12 10 5\n"
    return rows, info


def cave_world():
    rows = blank_world(b",")
    put(rows, 3, 2, b"THE SECOND PLACE: A CAVE")
    put(rows, 9, 5, b"-")
    put(rows, 20, 8, bytes([0xC9, 0xCD, 0xCD, 0xBB, 8, 7, 13, 9]))
    info = b"Cave region 1\nBack " + START.encode() + b" 9 5 44 12\n"
    return rows, info


def write_folder(folder, line_end):
    target = os.path.join(HERE, folder)
    shutil.rmtree(target, ignore_errors=True)
    world_dir = os.path.join(target, "bin", "world")
    os.makedirs(world_dir)
    shutil.copyfile(os.path.join(ROOT, "data", "config.ini"), os.path.join(target, "config.ini"))
    for stem, (rows, info) in ((START, start_world()), (CAVE, cave_world())):
        assert all(len(row) == WIDTH for row in rows)
        with open(os.path.join(world_dir, stem + ".wgf"), "wb") as grid:
            grid.write(b"".join(bytes(row) + line_end for row in rows))
        with open(os.path.join(world_dir, stem + ".wif"), "wb") as links:
            links.write(info.replace(b"\n", line_end))


def main():
    write_folder("lf", b"\n")
    write_folder("crlf", b"\r\n")


if __name__ == "__main__":
    main()
