#!/usr/bin/env python3
# Tests of the picture generator: its encoders give back the pixels they were given, and the
# committed pictures look like what their roles say (white glyphs, soft shadows, clear ground).
import os
import struct
import subprocess
import sys
import unittest
import zlib

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import encode  # noqa: E402
import generate  # noqa: E402

RESOURCES = os.path.join(generate.ROOT, "resources")


def decode_png(data):
    """(width, height, rows of RGBA bytes) of a PNG as this generator writes them: colour type 6,
    depth 8, no interlace, every row unfiltered."""
    assert data[:8] == encode.PNG_SIGNATURE
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert (depth, colour, interlace) == (8, 6, 0)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = 4 * width + 1
    assert len(raw) == stride * height
    rows = [raw[y * stride:(y + 1) * stride] for y in range(height)]
    assert all(row[0] == 0 for row in rows)
    return width, height, [row[1:] for row in rows]


def decode_ico(data):
    """(width, height, rows of RGBA from the top, rows of mask bits from the top) of a one-image
    32-bit icon in BMP form."""
    offset = struct.unpack("<I", data[18:22])[0]
    width, double_height = struct.unpack("<ii", data[offset + 4:offset + 12])
    height = double_height // 2
    pixels = offset + 40
    mask = pixels + width * height * 4
    stride = (width + 31) // 32 * 4
    rows, bits = [], []
    for y in range(height):
        bgra = data[pixels + (height - 1 - y) * width * 4:][:width * 4]
        rows.append(bytes(c for x in range(width)
                          for c in (bgra[4 * x + 2], bgra[4 * x + 1], bgra[4 * x], bgra[4 * x + 3])))
        line = data[mask + (height - 1 - y) * stride:][:stride]
        bits.append([(line[x // 8] >> (7 - x % 8)) & 1 for x in range(width)])
    return width, height, rows, bits


def pixels(rows):
    return [tuple(row[i:i + 4]) for row in rows for i in range(0, len(row), 4)]


def decode_jpeg(path):
    ppm = subprocess.run(["djpeg", "-pnm", path], capture_output=True, check=True).stdout
    magic, size, depth, data = ppm.split(b"\n", 3)
    assert magic == b"P6" and depth == b"255"
    width, height = map(int, size.split())
    return width, height, data


class Encoders(unittest.TestCase):
    ROWS = [bytes([255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 0, 0]),
            bytes([1, 2, 3, 4, 250, 251, 252, 253, 9, 9, 9, 0])]

    def test_png_gives_back_its_pixels(self):
        png = encode.png_rgba(3, self.ROWS)
        self.assertEqual(decode_png(png), (3, 2, self.ROWS))
        self.assertEqual(png.count(b"IDAT"), 1)
        self.assertEqual(png[-12:], b"\0\0\0\0IEND\xaeB`\x82")

    def test_ico_stores_rows_bottom_up_with_a_mask_of_the_clear_pixels(self):
        ico = encode.ico_rgba(3, self.ROWS)
        self.assertEqual(len(ico), 6 + 16 + 40 + 3 * 2 * 4 + 2 * 4)
        self.assertEqual(struct.unpack("<HHH", ico[:6]), (0, 1, 1))
        # The last stored row is the top row: its first pixel, red, in BGRA order.
        top_row_at = 22 + 40 + 3 * 4
        self.assertEqual(ico[top_row_at:top_row_at + 4], bytes([0, 0, 255, 255]))
        self.assertEqual(decode_ico(ico), (3, 2, self.ROWS, [[0, 0, 1], [0, 0, 1]]))

    def test_jpeg_is_baseline_jfif_of_the_given_size(self):
        rows = [b"".join(bytes([x * 8, y * 8, 128, 255]) for x in range(20)) for y in range(10)]
        jpeg = encode.jpeg_rgb(20, rows, 90)
        self.assertEqual(jpeg[:4], b"\xff\xd8\xff\xe0")
        self.assertEqual(jpeg[6:11], b"JFIF\0")
        sof = jpeg.index(b"\xff\xc0")
        self.assertEqual(struct.unpack(">HH", jpeg[sof + 5:sof + 9]), (10, 20))
        self.assertNotIn(b"\xff\xc2", jpeg)


class Pictures(unittest.TestCase):
    def setUp(self):
        self.table = generate.read_table()

    def read(self, file):
        with open(os.path.join(RESOURCES, file), "rb") as f:
            return f.read()

    def test_glyphs_are_white_over_a_soft_dark_shadow_on_a_clear_ground(self):
        for name, file, width, height, role in self.table:
            if not file.endswith(".png"):
                continue
            with self.subTest(file=file):
                w, h, rows = decode_png(self.read(file))
                self.assertEqual((w, h), (width, height))
                seen = [p for p in pixels(rows) if p[3] > 0]
                # Straight alpha over white and black only: every visible pixel is a grey.
                self.assertTrue(all(r == g == b for r, g, b, _ in seen))
                self.assertIn((255, 255, 255, 255), seen, "no solid white glyph pixel")
                self.assertTrue(any(r < 128 and 0 < a < 255 for r, _, _, a in seen), "no shadow")
                self.assertLess(len(seen), w * h, "no clear ground")
                if min(w, h) >= 13:
                    corners = [rows[y][4 * x + 3] for x in (0, w - 1) for y in (0, h - 1)]
                    self.assertEqual(corners, [0, 0, 0, 0])

    def test_checked_box_differs_from_the_empty_one_only_inside(self):
        _, _, empty = decode_png(self.read("check_box.png"))
        _, _, checked = decode_png(self.read("check_box_checked.png"))
        changed = {(i // 4 % 13, i // 4 // 13) for i, (a, b) in
                   enumerate(zip(b"".join(empty), b"".join(checked))) if a != b}
        self.assertTrue(changed)
        self.assertTrue(all(2 <= x <= 11 and 2 <= y <= 11 for x, y in changed))

    def test_icon_is_a_tile_on_a_clear_ground_and_its_mask_matches_alpha(self):
        w, h, rows, bits = decode_ico(self.read("window_icon.ico"))
        self.assertEqual((w, h), (128, 128))
        for y in range(h):
            for x in range(w):
                self.assertEqual(bits[y][x], 1 if rows[y][4 * x + 3] == 0 else 0, (x, y))
        self.assertEqual([rows[y][4 * x + 3] for x in (0, 127) for y in (0, 127)], [0, 0, 0, 0])
        self.assertEqual(rows[64][4 * 64 + 3], 255)

    def test_background_is_darker_behind_the_caption(self):
        w, h, data = decode_jpeg(os.path.join(RESOURCES, "skin_background.jpg"))
        self.assertEqual((w, h), (500, 500))

        def brightness(y0, y1):
            part = data[y0 * w * 3:y1 * w * 3]
            return sum(part) / len(part)
        # The caption covers the top 25 of 318 rows once stretched: white text needs a dark ground.
        self.assertLess(brightness(0, 30), 140)
        self.assertGreater(brightness(150, 350), 190)

    def test_banner_decodes_at_its_size(self):
        w, h, data = decode_jpeg(os.path.join(RESOURCES, "banner.jpg"))
        self.assertEqual((w, h, len(data)), (246, 81, 246 * 81 * 3))


if __name__ == "__main__":
    unittest.main()
