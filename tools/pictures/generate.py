#!/usr/bin/env python3
# Draws every built-in picture of the program from scratch and writes it into resources/ (or a
# given folder). Same input, same bytes: run it twice and the files do not change.
import argparse
import os
import re
import sys

sys.dont_write_bytecode = True  # keep the source folder clean

from raster import (Canvas, blurred, circle, clamp, hash01, intersect, mask, mix_colour, noise_field,
                    outline, polygon, polyline, rounded_box, shifted, smoothstep, subtract, union)
import encode

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
TABLE = os.path.join(ROOT, "resources", "embedded_pictures.h")

WHITE = (255.0, 255.0, 255.0)
BLACK = (0.0, 0.0, 0.0)


def read_table(path=TABLE):
    """The rows of the picture table: (C++ name, file, width, height, role)."""
    row = re.compile(r'^\s*X\((\w+), "([^"]+)", (\d+), (\d+), "([^"]*)"\)')
    with open(path, encoding="utf-8") as f:
        rows = [m.groups() for m in map(row.match, f) if m]
    return [(name, file, int(w), int(h), role) for name, file, w, h, role in rows]


# --- white glyphs with a soft shadow (caption buttons, check boxes, arrows) --------------------

def glyph(width, height, layers, offset=(1, 1), blur=1, shadow=0.7):
    """White layers (shape, opacity) over a black shadow that the solid layers cast, moved by
    `offset` and softened by a box blur of radius `blur`; the ground stays transparent."""
    cast = [0.0] * (width * height)
    for shape, opacity in layers:
        if opacity >= 1.0:
            cast = [max(a, b) for a, b in zip(cast, mask(width, height, shape))]
    cast = shifted(cast, width, height, *offset)
    if blur:
        cast = blurred(cast, width, height, blur, 1)
    canvas = Canvas(width, height)
    canvas.paint(cast, BLACK, shadow)
    for shape, opacity in layers:
        canvas.paint(mask(width, height, shape), WHITE, opacity)
    return canvas


def frame(x0, y0, x1, y1, side=1.2, top=2.4):
    """A window outline with a heavier top edge, as caption glyphs draw windows."""
    return subtract(rounded_box(x0, y0, x1, y1, 0.6), rounded_box(x0 + side, y0 + top, x1 - side, y1 - side))


def draw_help(w, h):
    bubble = union(rounded_box(6.5, 2.5, 19.5, 11.5, 3.2), polygon([(9.0, 10.0), (8.0, 15.5), (13.5, 10.0)]))
    dots = union(*(circle(x, 7.0, 1.0) for x in (10.0, 13.0, 16.0)))
    return glyph(w, h, [(outline(bubble, 1.3), 1.0), (dots, 1.0), (bubble, 0.18)])


def draw_menu(w, h):
    # A mouse pointer whose tip rests inside a small window.
    tip_x, tip_y, s = 13.5, 7.0, 0.85
    arrow = [(0, 0), (0, 10.5), (2.6, 8.0), (4.4, 11.8), (6.2, 11.0), (4.4, 7.3), (7.6, 7.3)]
    pointer = polygon([(tip_x + s * x, tip_y + s * y) for x, y in arrow])
    window = subtract(frame(5.5, 3.0, 17.5, 13.0), union(outline(pointer, 2.6), pointer))
    return glyph(w, h, [(window, 1.0), (pointer, 1.0)])


def draw_minimize(w, h):
    return glyph(w, h, [(rounded_box(8.0, 11.0, 18.0, 13.2, 0.5), 1.0)])


def draw_maximize(w, h):
    return glyph(w, h, [(frame(8.0, 3.5, 18.0, 13.5), 1.0)])


def draw_restore(w, h):
    front = (6.5, 6.5, 15.5, 14.0)
    gap = rounded_box(front[0] - 1.2, front[1] - 1.2, front[2] + 1.2, front[3] + 1.2)
    back = subtract(frame(10.0, 3.0, 19.0, 10.5), gap)
    return glyph(w, h, [(back, 1.0), (frame(*front), 1.0)])


def draw_close(w, h):
    cx, cy, r = w / 2, h / 2, 4.2
    cross = union(polyline([(cx - r, cy - r), (cx + r, cy + r)], 1.9),
                  polyline([(cx + r, cy - r), (cx - r, cy + r)], 1.9))
    return glyph(w, h, [(cross, 1.0)])


def check_box(w, h, checked):
    box = rounded_box(1.5, 1.5, 10.5, 10.5, 1.5)  # edges on pixel centres: a crisp 1-pixel rim
    layers = [(box, 0.22), (outline(box, 1.0), 1.0)]
    if checked:
        layers.append((polyline([(3.4, 6.2), (5.4, 8.3), (8.8, 3.8)], 1.7), 1.0))
    return glyph(w, h, layers, blur=0, shadow=0.55)


def draw_check_box(w, h):
    return check_box(w, h, False)


def draw_check_box_checked(w, h):
    return check_box(w, h, True)


def arrow(w, h, points):
    return glyph(w, h, [(polygon(points), 1.0)], offset=(0, 1) if h < w else (1, 0), blur=0, shadow=0.45)


def draw_arrow_down(w, h):
    return arrow(w, h, [(0.5, 0.0), (6.5, 0.0), (3.5, 3.0)])


def draw_arrow_up(w, h):
    return arrow(w, h, [(3.5, 0.0), (6.5, 3.0), (0.5, 3.0)])


def draw_arrow_left(w, h):
    return arrow(w, h, [(3.0, 0.5), (3.0, 6.5), (0.0, 3.5)])


def draw_arrow_right(w, h):
    return arrow(w, h, [(0.0, 0.5), (3.0, 3.5), (0.0, 6.5)])


# --- the skin background ---------------------------------------------------------------------

def grain(x, y, seed, amount):
    """Three independent small offsets for one pixel, in -amount..amount."""
    h = int(hash01(x, y, seed) * 4294967296.0)
    return tuple(((h >> s) & 0xFF) / 255.0 * 2 * amount - amount for s in (0, 8, 16))


BACKGROUND_STOPS = [  # (row, colour): dark behind the caption, light and calm below
    (0, (24, 92, 134)), (70, (92, 172, 206)), (190, (204, 234, 242)), (500, (170, 214, 232))]


def gradient(stops, t):
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix_colour(c0, c1, smoothstep(t0, t1, t))
    return stops[-1][1]


def draw_skin_background(w, h):
    clouds = [0.5 * a + 0.3 * b + 0.2 * c for a, b, c in zip(
        noise_field(w, h, 125, 11), noise_field(w, h, 50, 12), noise_field(w, h, 20, 13))]
    canvas = Canvas(w, h)
    pixels = canvas.pixels
    for y in range(h):
        base = gradient(BACKGROUND_STOPS, y)
        for x in range(w):
            # Soft light bands running down to the right, like wind on a fast car's paint.
            u = (x + 0.55 * y) / 150.0
            band = smoothstep(0.55, 1.0, abs(u - int(u) - 0.5) * 2.0) * 0.07
            light = 1.0 + (clouds[y * w + x] - 0.5) * 0.22
            g = grain(x, y, 7, 6.0)
            pixels[y * w + x] = tuple(
                [clamp(c * light + (255.0 - c) * band + n, 0.0, 255.0) for c, n in zip(base, g)] + [1.0])
    return canvas


# --- the banner ------------------------------------------------------------------------------

# Stroke letters on a 4 by 6 grid (y down); each letter is a list of polylines.
LETTERS = {
    "A": [[(0, 6), (2, 0), (4, 6)], [(0.7, 4), (3.3, 4)]],
    "C": [[(4, 1), (3, 0), (1, 0), (0, 1), (0, 5), (1, 6), (3, 6), (4, 5)]],
    "F": [[(4, 0), (0, 0), (0, 6)], [(0, 3), (3, 3)]],
    "G": [[(4, 1), (3, 0), (1, 0), (0, 1), (0, 5), (1, 6), (3, 6), (4, 5), (4, 3.2), (2.2, 3.2)]],
    "I": [[(0, 0), (0, 6)]],
    "M": [[(0, 6), (0, 0), (2, 3.4), (4, 0), (4, 6)]],
    "N": [[(0, 6), (0, 0), (4, 6), (4, 0)]],
    "O": [[(1, 0), (3, 0), (4, 1), (4, 5), (3, 6), (1, 6), (0, 5), (0, 1), (1, 0)]],
    "R": [[(0, 6), (0, 0), (3, 0), (4, 1), (4, 2), (3, 3), (0, 3)], [(2.2, 3), (4, 6)]],
    "U": [[(0, 0), (0, 5), (1, 6), (3, 6), (4, 5), (4, 0)]],
}


def lettering(text, left, top, unit, gap, slant, width):
    """The text as one stroked shape: letters `unit` pixels per grid step, leaning right."""
    strokes = []
    x = left
    for ch in text:
        lines = LETTERS[ch]
        for line in lines:
            strokes.append(polyline([(x + unit * (px + slant * (6 - py)), top + unit * py) for px, py in line], width))
        x += unit * max(px for line in lines for px, _ in line) + gap
    return union(*strokes)


def draw_banner(w, h):
    canvas = Canvas(w, h)
    canvas.paint([1.0] * (w * h), lambda x, y: tuple(
        c + n for c, n in zip(mix_colour((40, 44, 60), (12, 12, 18), y / h), grain(x, y, 21, 9.0))))

    # Checkered flag on the right, waving and fading out towards the text.
    def checker(x, y):
        p = x / 56.0
        p -= int(p)
        wave = smoothstep(0.0, 0.5, p) if p < 0.5 else 1.0 - smoothstep(0.5, 1.0, p)
        cy = y + 5.0 * wave - 0.35 * x
        on = (int((x + 400) // 10) + int((cy + 400) // 10)) % 2 == 0
        return (236.0, 236.0, 240.0) if on else (18.0, 18.0, 22.0)
    fade = [smoothstep(140.0, 205.0, i % w) * 0.85 for i in range(w * h)]
    canvas.paint(fade, checker)

    # Speed lines streaking in from the left.
    for k in range(34):
        y = 3.0 + hash01(k, 1, 31) * (h - 6)
        x0 = hash01(k, 2, 31) * 110.0
        length = 40.0 + hash01(k, 3, 31) * 120.0
        streak = mask(w, h, polyline([(x0, y), (x0 + length, y)], 0.8 + hash01(k, 4, 31) * 1.4))
        along = [c * smoothstep(x0, x0 + length, i % w) for i, c in enumerate(streak)]
        canvas.paint(along, (200.0, 225.0, 255.0), 0.2 + hash01(k, 5, 31) * 0.35)

    # A red-to-orange swoosh under the lettering.
    swoosh = polygon([(0.0, 58.0), (150.0, 47.0), (246.0, 25.0), (246.0, 33.0), (160.0, 56.0), (0.0, 68.0)])
    canvas.paint(mask(w, h, swoosh), lambda x, y: mix_colour((214, 28, 36), (255, 160, 30), x / w), 0.92)

    title = lettering("RACING", 14.0, 8.0, 5.0, 7.0, 0.22, 5.2)
    sub = lettering("FORUM", 116.0, 62.0, 2.0, 5.0, 0.22, 2.0)
    for shape, colour in ((title, WHITE), (sub, (255.0, 200.0, 90.0))):
        body = mask(w, h, shape)
        canvas.paint(blurred(shifted(body, w, h, 2, 2), w, h, 1, 2), BLACK, 0.8)
        canvas.paint(body, colour)
    return canvas


# --- the window icon -------------------------------------------------------------------------

def draw_window_icon(w, h):
    canvas = Canvas(w, h)
    tile = rounded_box(8.0, 8.0, 120.0, 120.0, 24.0)
    tile_mask = mask(w, h, tile)
    canvas.paint(blurred(shifted(tile_mask, w, h, 0, 3), w, h, 2, 3), BLACK, 0.45)
    canvas.paint(tile_mask, lambda x, y: mix_colour((70, 220, 236), (16, 84, 156),
                                                  smoothstep(8.0, 120.0, y + 0.25 * x)))

    # A faint checkered band across the tile.
    band = intersect(tile, polygon([(8.0, 84.0), (120.0, 44.0), (120.0, 68.0), (8.0, 108.0)]))
    checks = [c * (0.16 if (int(i % w) // 8 + int(i // w) // 8) % 2 else 0.0)
              for i, c in enumerate(mask(w, h, band))]
    canvas.paint(checks, WHITE)

    # Gloss over the top half.
    gloss = intersect(tile, circle(64.0, -70.0, 132.0))
    canvas.paint(mask(w, h, gloss), WHITE, 0.16)

    # Two arrows passing each other: switching one way and back.
    right = polygon([(30.0, 44.0), (78.0, 44.0), (78.0, 32.0), (100.0, 51.0), (78.0, 70.0), (78.0, 58.0), (30.0, 58.0)])
    left = polygon([(98.0, 70.0), (50.0, 70.0), (50.0, 58.0), (28.0, 77.0), (50.0, 96.0), (50.0, 84.0), (98.0, 84.0)])
    left = subtract(left, union(right, outline(right, 6.0)))
    arrows = [max(a, b) for a, b in zip(mask(w, h, right), mask(w, h, left))]
    canvas.paint(blurred(shifted(arrows, w, h, 2, 3), w, h, 2, 3), BLACK, 0.5)
    canvas.paint(arrows, WHITE)
    return canvas


PAINTERS = {
    "help_button.png": draw_help,
    "menu_button.png": draw_menu,
    "minimize_button.png": draw_minimize,
    "maximize_button.png": draw_maximize,
    "restore_button.png": draw_restore,
    "close_button.png": draw_close,
    "check_box.png": draw_check_box,
    "check_box_checked.png": draw_check_box_checked,
    "arrow_down.png": draw_arrow_down,
    "arrow_up.png": draw_arrow_up,
    "arrow_left.png": draw_arrow_left,
    "arrow_right.png": draw_arrow_right,
    "skin_background.jpg": draw_skin_background,
    "banner.jpg": draw_banner,
    "window_icon.ico": draw_window_icon,
}

# cjpeg quality of each JPEG: chosen for the file sizes the program was laid out with.
JPEG_QUALITY = {"skin_background.jpg": 98, "banner.jpg": 99}


def encoded(file, width, height):
    rows = PAINTERS[file](width, height).rgba_rows()
    assert len(rows) == height and all(len(r) == 4 * width for r in rows)
    if file.endswith(".png"):
        return encode.png_rgba(width, rows)
    if file.endswith(".jpg"):
        return encode.jpeg_rgb(width, rows, JPEG_QUALITY[file])
    if file.endswith(".ico"):
        return encode.ico_rgba(width, rows)
    raise SystemExit(f"{file}: no encoder for this kind of file")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--output", default=os.path.join(ROOT, "resources"),
                        help="folder to write the pictures into (default: resources/)")
    parser.add_argument("--only", nargs="*", help="files to draw (default: all)")
    args = parser.parse_args()

    table = read_table()
    listed = {row[1] for row in table}
    if listed != set(PAINTERS):
        raise SystemExit(f"table and painters disagree: {sorted(listed ^ set(PAINTERS))}")
    os.makedirs(args.output, exist_ok=True)
    for name, file, width, height, role in table:
        if args.only and file not in args.only:
            continue
        data = encoded(file, width, height)
        with open(os.path.join(args.output, file), "wb") as f:
            f.write(data)
        print(f"{file:24} {width:3} x {height:<3} {len(data):7} bytes  {role}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
