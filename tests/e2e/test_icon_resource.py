"""The exe carries its drawn icon: the desktop shows group icon 1, at 16 and 32 pixels.

Reads the PE resource directory directly, so it needs neither Wine nor a display.
"""

import os
import struct
import sys
import unittest
from pathlib import Path

sys.dont_write_bytecode = True
import vrtest  # noqa: E402

RT_ICON, RT_GROUP_ICON = 3, 14


def resources(path):
    """{(type id, name id): bytes} of the first language of every resource with numeric ids."""
    blob = Path(path).read_bytes()
    pe = struct.unpack_from("<I", blob, 0x3C)[0]
    if blob[pe : pe + 4] != b"PE\0\0":
        raise ValueError(f"{path} is not a PE file")
    sections, opt_size = struct.unpack_from("<H", blob, pe + 6)[0], struct.unpack_from("<H", blob, pe + 20)[0]
    opt = pe + 24
    magic = struct.unpack_from("<H", blob, opt)[0]
    dirs = opt + (112 if magic == 0x20B else 96)
    rsrc_rva = struct.unpack_from("<I", blob, dirs + 2 * 8)[0]
    table = [struct.unpack_from("<IIII", blob, opt + opt_size + 40 * i + 8) for i in range(sections)]

    def offset(rva):
        for vsize, va, raw_size, raw in table:
            if va <= rva < va + max(vsize, raw_size):
                return raw + rva - va
        raise ValueError(f"RVA {rva:#x} is in no section")

    base = offset(rsrc_rva)

    def entries(at):
        named, ids = struct.unpack_from("<HH", blob, base + at + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", blob, base + at + 16 + 8 * i)
            if not name & 0x80000000:
                yield name, target

    found = {}
    for kind, types in entries(0):
        for name, langs in entries(types & 0x7FFFFFFF):
            _, leaf = next(entries(langs & 0x7FFFFFFF))
            rva, size = struct.unpack_from("<II", blob, base + leaf)
            found[(kind, name)] = blob[offset(rva) : offset(rva) + size]
    return found


class IconResource(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.res = resources(os.environ.get("VR_EXE", vrtest.EXE))

    def group(self):
        group = self.res[(RT_GROUP_ICON, 1)]
        reserved, kind, count = struct.unpack_from("<HHH", group, 0)
        self.assertEqual((reserved, kind), (0, 1))
        return [struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i) for i in range(count)]

    def test_group_icon_one_lists_16_and_32_pixel_32_bit_images(self):
        self.assertEqual(min(name for kind, name in self.res if kind == RT_GROUP_ICON), 1)
        sizes = sorted((w, h, bits) for w, h, _, _, _, bits, _, _ in self.group())
        self.assertEqual(sizes, [(16, 16, 32), (32, 32, 32)])

    def test_each_image_is_the_two_rulers_on_a_transparent_ground(self):
        for w, h, _, _, _, _, size, icon_id in self.group():
            with self.subTest(size=w):
                image = self.res[(RT_ICON, icon_id)]
                self.assertEqual(len(image), size)
                header_size, width, height = struct.unpack_from("<Iii", image, 0)
                self.assertEqual((header_size, width, height), (40, w, 2 * h))
                pixels = [struct.unpack_from("<BBBB", image, 40 + 4 * i) for i in range(w * h)]
                # Bottom-up rows: the first pixel is the lower left corner.
                corners = [pixels[0], pixels[w - 1], pixels[-w], pixels[-1]]
                self.assertEqual([a for _, _, _, a in corners], [0, 0, 0, 0])
                opaque = {(r, g, b) for b, g, r, a in pixels if a == 255}
                self.assertTrue({(255, 255, 0), (255, 255, 255), (0, 0, 0)} <= opaque, opaque)
                # The AND mask marks exactly the fully transparent pixels.
                stride = (w + 31) // 32 * 4
                mask = image[40 + 4 * w * h :]
                self.assertEqual(len(mask), stride * h)
                for i, (_, _, _, a) in enumerate(pixels):
                    x, y = i % w, i // w
                    bit = mask[y * stride + x // 8] >> (7 - x % 8) & 1
                    self.assertEqual(bit, 1 if a == 0 else 0, f"pixel {i}")


if __name__ == "__main__":
    unittest.main(verbosity=2)
