#!/usr/bin/env python3
"""Check the program's resources: the icon the build drew and what tharvok.exe carries.

  * the .ico holds a 16 x 16 and a 32 x 32 image, 32 bits a pixel, whose
    transparency masks agree with their alpha channels, with transparent
    corners and a few colours in the middle (a drawing, not a blank);
  * tharvok.exe has icon group 101 naming both images, and the icon images
    in the program are the very bytes of the .ico;
  * its version resource gives the project's version.

Usage:  check_resources.py PROGRAM_EXE ICON_FILE VERSION
"""

import struct
import sys
import unittest

EXE = ICON = VERSION = None

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16


def read_ico(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1), "not an icon file"
    images = []
    for i in range(count):
        w, h, colours, _, planes, bits, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i
        )
        images.append((w or 256, h or 256, bits, data[offset : offset + size]))
    return images


def pixels_and_mask(width, height, image):
    header_size, w, h2, _, bits = struct.unpack_from("<IiiHH", image, 0)
    assert (header_size, w, h2, bits) == (40, width, height * 2, 32)
    pixel_bytes = width * height * 4
    pixels = image[40 : 40 + pixel_bytes]
    stride = ((width + 31) // 32) * 4
    mask = image[40 + pixel_bytes : 40 + pixel_bytes + stride * height]
    assert len(mask) == stride * height, "mask too short"
    return pixels, mask, stride


def resources(exe):
    """{(type, id): [data, ...]} from the PE resource directory."""
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    assert exe[pe : pe + 4] == b"PE\0\0", "not a PE file"
    sections, optional_size = struct.unpack_from("<H12xH", exe, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", exe, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    rsrc_rva, _ = struct.unpack_from("<II", exe, directories + 2 * 8)
    table = optional + optional_size
    spans = []
    for i in range(sections):
        _, vsize, rva, raw_size, raw_offset = struct.unpack_from("<8sIIII", exe, table + 40 * i)
        spans.append((rva, max(vsize, raw_size), raw_offset))

    def offset_of(rva):
        for start, size, raw in spans:
            if start <= rva < start + size:
                return raw + rva - start
        raise AssertionError("address outside every section")

    base = offset_of(rsrc_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", exe, base + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", exe, base + directory + 16 + 8 * i)
            yield name, target

    found = {}
    for kind, kind_dir in entries(0):
        for ident, ident_dir in entries(kind_dir & 0x7FFFFFFF):
            for _, leaf in entries(ident_dir & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", exe, base + leaf)
                start = offset_of(rva)
                found.setdefault((kind, ident), []).append(exe[start : start + size])
    return found


class IconTest(unittest.TestCase):
    def test_both_sizes_with_matching_masks(self):
        images = read_ico(ICON)
        self.assertEqual(sorted((w, h, bits) for w, h, bits, _ in images), [(16, 16, 32), (32, 32, 32)])
        for width, height, _, image in images:
            pixels, mask, stride = pixels_and_mask(width, height, image)
            colours = set()
            for y in range(height):
                for x in range(width):
                    b, g, r, a = pixels[4 * (y * width + x) : 4 * (y * width + x) + 4]
                    masked = bool(mask[y * stride + x // 8] & (0x80 >> (x % 8)))
                    self.assertEqual(masked, a == 0, f"{width}px mask at ({x}, {y})")
                    if a == 255:
                        colours.add((r, g, b))
            for x, y in ((0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1)):
                self.assertEqual(pixels[4 * (y * width + x) + 3], 0, f"{width}px corner")
            self.assertGreaterEqual(len(colours), 4, f"{width}px image has too few colours")


class ProgramResourcesTest(unittest.TestCase):
    def setUp(self):
        self.found = resources(EXE)

    def test_icon_group_101_holds_the_drawn_images(self):
        groups = self.found.get((RT_GROUP_ICON, 101))
        self.assertIsNotNone(groups, "no icon group 101")
        group = groups[0]
        _, kind, count = struct.unpack_from("<HHH", group, 0)
        self.assertEqual((kind, count), (1, 2))
        drawn = {(w, h): image for w, h, _, image in read_ico(ICON)}
        for i in range(count):
            w, h, _, _, _, bits, size, ident = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            self.assertEqual(bits, 32)
            images = self.found.get((RT_ICON, ident))
            self.assertIsNotNone(images, f"icon image {ident} missing")
            self.assertEqual(images[0], drawn[(w, h)], f"{w}px image differs from the .ico")
            self.assertEqual(size, len(drawn[(w, h)]))

    def test_version_resource_names_the_version(self):
        versions = self.found.get((RT_VERSION, 1))
        self.assertIsNotNone(versions, "no version resource")
        text = versions[0].decode("utf-16-le", errors="replace")
        self.assertIn("FileVersion", text)
        self.assertIn(VERSION, text)
        self.assertIn("tharvok.exe", text)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.stderr.write(__doc__)
        sys.exit(2)
    with open(sys.argv[1], "rb") as f:
        EXE = f.read()
    with open(sys.argv[2], "rb") as f:
        ICON = f.read()
    VERSION = sys.argv[3]
    unittest.main(argv=sys.argv[:1], verbosity=2)
