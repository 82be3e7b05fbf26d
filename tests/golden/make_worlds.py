#!/usr/bin/env python3
"""Writes the small worlds the golden screen tests play in (tests/golden/worlds/).

Run it after changing a layout here, then refresh the expected screens with
THARVOK_UPDATE_GOLDEN=1 and read every changed screen before committing it.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from start_world import STEM as START  # noqa: E402
MEADOW = "a1b2c3d4e5f60718293a4b5c6d7e8f90"
ODDITIES = "0f1e2d3c4b5a69788796a5b4c3d2e1f0"
MISSING = "0123456789abcdef0123456789abcdef"

CONFIG = (
    "cMoveUp = &\ncMoveDown = (\ncMoveLeft = %\ncMoveRight = '\n"
    "cUse = E\ncSelect = 13\ncToggleRightOverlay = 9\n"
    "cRest = R\ncSave = S\ncLoad = L\ncToggleInventory = I\n"
)


def grid(fill="."):
    return [bytearray(fill.encode() * 80) for _ in range(25)]


def put(g, x, y, text):
    data = text.encode("latin-1") if isinstance(text, str) else bytes(text)
    g[y][x:x + len(data)] = data


def write_world(folder, stem, g, header, links, newline=b"\n"):
    os.makedirs(os.path.join(folder, "bin", "world"), exist_ok=True)
    with open(os.path.join(folder, "bin", "world", stem + ".wgf"), "wb") as f:
        f.write(newline.join(bytes(row) for row in g) + newline)
    lines = [header, str(len(links))] + [" ".join(str(v) for v in link) for link in links]
    with open(os.path.join(folder, "bin", "world", stem + ".wif"), "w") as f:
        f.write("\n".join(lines) + "\n")


def write_config(folder, text=CONFIG, mode="w"):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "config.ini"), "wb") as f:
        f.write(text if isinstance(text, bytes) else text.encode())


def play_worlds():
    folder = os.path.join(HERE, "worlds", "play")
    write_config(folder)

    g = grid(".")
    # Every colour of the map, and a "-" that no link names.
    put(g, 2, 2, "~,+|0;-.A")
    # The blocking characters, one per row, east of the walk along column 59.
    for y, ch in zip(range(3, 8), ";0~+ "):
        put(g, 60, y, ch)
    # A row of links, each approached from the row below.
    put(g, 10, 8, "----.------")
    long74 = "L" * 74
    long80 = "W" * 80
    links = [
        ("Caves", START, 10, 8, 10, 9),
        (long74, START, 11, 8, 11, 9),
        (long80, START, 12, 8, 12, 9),
        ("First", START, 13, 8, 13, 9),
        ("Second", MEADOW, 13, 8, 10, 10),
        ("Ghost", MEADOW, 14, 8, 10, 10),
        ("Loop", START, 15, 8, 16, 8),
        ("Meadow", MEADOW, 16, 8, 10, 10),
        ("Nowhere", MISSING, 17, 8, 26, 10),
        ("Outside", "../secret", 18, 8, 27, 10),
        ("Far", MEADOW, 19, 8, 200, 99),
        ("Oddities", ODDITIES, 20, 8, 40, 12),
    ]
    # Where a ten-character caption's box goes depends on where the player stands.
    for x, y in ((35, 17), (35, 18), (30, 20), (31, 20), (48, 20), (49, 20)):
        put(g, x, y, "-")
        links.append(("Lighthouse", START, x, y, 40, 12))
    write_world(folder, START, g, "Test fields", links)

    m = grid(",")
    put(m, 9, 10, "-")
    put(m, 0, 0, "~~~~")
    write_world(folder, MEADOW, m, "Test meadow", [("Home", START, 9, 10, 16, 9)])

    o = grid(".")
    # Bytes that a console would take as controls, and bytes of 128 and more: all drawn as glyphs.
    put(o, 0, 0, bytes([7, 8, 9, 10, 13, 0, 1, 2, 27, 127]))
    put(o, 0, 1, bytes(range(128, 208)))
    put(o, 0, 2, bytes(range(208, 256)))
    put(o, 41, 12, "-")
    write_world(folder, ODDITIES, o, "Odd bytes", [("Back", START, 41, 12, 20, 9)])


def config_worlds():
    start = grid(".")
    # A byte-order mark hides the first key, letter case and tabs make other keys, blanks around
    # "=" are trimmed, and the first line that names a key wins, whatever section it is in.
    text = (
        b"\xef\xbb\xbfcMoveUp = U\r\n"
        b"[keys]\r\n"
        b"cmovedown = J\r\n"
        b"cMoveDown = Down\r\n"
        b"cMoveDown = X\r\n"
        b"# cMoveUp = K\r\n"
        b" #cMoveUp = K\r\n"
        b"cMoveUp\t= Y\r\n"
        b"   cMoveUp   =   w   \r\n"
        b"[other]\r\n"
        b"cMoveUp = Q\r\n"
        b"cSelect = 0013 and more\r\n"
        b"cUse = \r\n"
        b"cToggleRightOverlay = +9"
    )
    folder = os.path.join(HERE, "worlds", "config-edges")
    write_config(folder, text)
    write_world(folder, START, start, "Config test", [])

    folder = os.path.join(HERE, "worlds", "no-config")
    os.makedirs(folder, exist_ok=True)
    write_world(folder, START, start, "Config test", [])

    folder = os.path.join(HERE, "worlds", "missing-info")
    write_config(folder)
    os.makedirs(os.path.join(folder, "bin", "world"), exist_ok=True)
    with open(os.path.join(folder, "bin", "world", START + ".wgf"), "wb") as f:
        f.write(b"\n".join(bytes(r) for r in start) + b"\n")


def partial_worlds():
    """A link to a world whose grid file is short, and one to a world without a link list."""
    folder = os.path.join(HERE, "worlds", "partial")
    write_config(folder)
    short, half = "5407a1c0ffee5407a1c0ffee5407a1c0", "4a1f4a1f4a1f4a1f4a1f4a1f4a1f4a1f"
    g = grid(".")
    put(g, 39, 12, "-.-")
    put(g, 0, 24, "~" * 80)
    write_world(folder, START, g, "Partial start",
                [("Short", short, 39, 12, 40, 1), ("Half", half, 41, 12, 40, 1)])
    # Three rows only: the rows below keep what the world before drew there.
    s = grid(",")[:3]
    put(s, 40, 2, "-")
    write_world(folder, short, s, "Short strip", [("Back", START, 40, 2, 40, 12)])
    h = grid(",")
    os.makedirs(os.path.join(folder, "bin", "world"), exist_ok=True)
    with open(os.path.join(folder, "bin", "world", half + ".wgf"), "wb") as f:
        f.write(b"\n".join(bytes(r) for r in h) + b"\n")


def rules_worlds():
    """A fence east of the start cell: a diagonal step past it is tested on its destination only."""
    folder = os.path.join(HERE, "worlds", "rules")
    write_config(folder)
    g = grid(".")
    put(g, 41, 12, "+")
    write_world(folder, START, g, "Rules field", [])


def rebound_worlds():
    """Keys rebound: W A S D to walk, F1 to choose, H for help; two actions left unbound."""
    folder = os.path.join(HERE, "worlds", "rebound")
    write_config(folder, "cMoveUp = W\ncMoveDown = S\ncMoveLeft = A\ncMoveRight = D\n"
                         "cUse = E\ncSelect = 112\ncToggleRightOverlay = 9\ncHelp = 72\n"
                         "cRest = R\ncLoad = L\n")
    write_world(folder, START, grid("."), "Rebound field", [])


def bearings_worlds():
    """Paths one step away, and two cells by one away on either diagonal; describe on D."""
    folder = os.path.join(HERE, "worlds", "bearings")
    write_config(folder, CONFIG + "cDescribe = D\n")
    g = grid(".")
    links = [("Mill", START, 41, 12, 40, 12), ("Well", START, 41, 14, 40, 12),
             ("Gate", START, 38, 11, 40, 12)]
    for _, _, x, y, _, _ in links:
        put(g, x, y, "-")
    write_world(folder, START, g, "Bearings field", links)


def travel_worlds():
    """Travel on T, say again on G: three paths round the start, one behind a hedge; a second
    world whose only path leads back."""
    folder = os.path.join(HERE, "worlds", "travel")
    write_config(folder, CONFIG + "cDescribe = D\ncTravel = T\ncRepeat = G\n")
    g = grid(".")
    for y in range(5, 20):
        put(g, 45, y, "+")
    put(g, 36, 9, "+++++++")
    links = [("Well", START, 33, 12, 40, 12), ("Stair", START, 40, 18, 40, 12),
             ("Gate", MEADOW, 50, 12, 10, 10)]
    for _, _, x, y, _, _ in links:
        put(g, x, y, "-")
    write_world(folder, START, g, "Crossroads field", links)
    m = grid(",")
    put(m, 10, 10, "-")
    write_world(folder, MEADOW, m, "Far side", [("Back", START, 10, 10, 50, 12)])


if __name__ == "__main__":
    play_worlds()
    config_worlds()
    partial_worlds()
    rules_worlds()
    rebound_worlds()
    bearings_worlds()
    travel_worlds()
