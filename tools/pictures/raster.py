# Drawing for the picture generator: shapes as signed distance functions, coverage masks, blur,
# noise and a premultiplied RGBA canvas. Only + - * / and square roots (exactly rounded in IEEE
# 754) and integer hashing, so every run on every machine gives the same pixels.
import math


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return a + (b - a) * t


def mix_colour(c0, c1, t):
    return tuple(mix(a, b, t) for a, b in zip(c0, c1))


# --- shapes ------------------------------------------------------------------------------------
# A shape is a distance function (negative inside, in pixels) and a bounding box (x0, y0, x1, y1)
# outside of which its distance is at least 1, so masks only visit the box.

class Shape:
    def __init__(self, distance, box):
        self.distance = distance
        self.box = box


def _grow(box, by):
    return (box[0] - by, box[1] - by, box[2] + by, box[3] + by)


def _segment_distance(x, y, ax, ay, bx, by):
    ex, ey = bx - ax, by - ay
    wx, wy = x - ax, y - ay
    length2 = ex * ex + ey * ey
    t = 0.0 if length2 == 0 else clamp((wx * ex + wy * ey) / length2)
    dx, dy = wx - ex * t, wy - ey * t
    return math.sqrt(dx * dx + dy * dy)


def circle(cx, cy, r):
    return Shape(lambda x, y: math.sqrt((x - cx) ** 2 + (y - cy) ** 2) - r,
                 (cx - r, cy - r, cx + r, cy + r))


def rounded_box(x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r

    def distance(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.sqrt(max(qx, 0.0) ** 2 + max(qy, 0.0) ** 2)
        return outside + min(max(qx, qy), 0.0) - r
    return Shape(distance, (x0, y0, x1, y1))


def polyline(points, width):
    """A stroke of the given width along the points, with round joins and ends."""
    half = width / 2
    segments = list(zip(points, points[1:]))

    def distance(x, y):
        return min(_segment_distance(x, y, ax, ay, bx, by) for (ax, ay), (bx, by) in segments) - half
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return Shape(distance, (min(xs) - half, min(ys) - half, max(xs) + half, max(ys) + half))


def polygon(points):
    """A filled polygon (even-odd rule), exact distance to its edges."""
    edges = list(zip(points, points[1:] + points[:1]))

    def distance(x, y):
        d = math.inf
        inside = False
        for (ax, ay), (bx, by) in edges:
            d = min(d, _segment_distance(x, y, ax, ay, bx, by))
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                inside = not inside
        return -d if inside else d
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return Shape(distance, (min(xs), min(ys), max(xs), max(ys)))


def outline(shape, width):
    """The band of the given width centred on the shape's edge."""
    half = width / 2
    return Shape(lambda x, y: abs(shape.distance(x, y)) - half, _grow(shape.box, half))


def union(*shapes):
    boxes = [s.box for s in shapes]
    return Shape(lambda x, y: min(s.distance(x, y) for s in shapes),
                 (min(b[0] for b in boxes), min(b[1] for b in boxes),
                  max(b[2] for b in boxes), max(b[3] for b in boxes)))


def subtract(shape, cut):
    return Shape(lambda x, y: max(shape.distance(x, y), -cut.distance(x, y)), shape.box)


def intersect(a, b):
    box = (max(a.box[0], b.box[0]), max(a.box[1], b.box[1]),
           min(a.box[2], b.box[2]), min(a.box[3], b.box[3]))
    return Shape(lambda x, y: max(a.distance(x, y), b.distance(x, y)), box)


# --- masks -------------------------------------------------------------------------------------
# A mask is a list of width * height coverages in 0..1, row by row from the top.

def mask(width, height, shape):
    """Coverage of each pixel by the shape, antialiased over one pixel around its edge."""
    out = [0.0] * (width * height)
    x0, y0, x1, y1 = _grow(shape.box, 1)
    for y in range(max(0, math.floor(y0)), min(height, math.ceil(y1) + 1)):
        for x in range(max(0, math.floor(x0)), min(width, math.ceil(x1) + 1)):
            out[y * width + x] = clamp(0.5 - shape.distance(x + 0.5, y + 0.5))
    return out


def shifted(values, width, height, dx, dy):
    """The mask moved by whole pixels; what moves in from outside is 0."""
    out = [0.0] * (width * height)
    for y in range(height):
        sy = y - dy
        if 0 <= sy < height:
            for x in range(width):
                sx = x - dx
                if 0 <= sx < width:
                    out[y * width + x] = values[sy * width + sx]
    return out


def blurred(values, width, height, radius, passes):
    """Repeated box blur of the given radius, horizontally then vertically; outside is 0.
    Three passes come close to a Gaussian."""
    span = 2 * radius + 1
    for _ in range(passes):
        rows = [0.0] * (width * height)
        for y in range(height):
            base = y * width
            for x in range(width):
                total = 0.0
                for k in range(max(0, x - radius), min(width, x + radius + 1)):
                    total += values[base + k]
                rows[base + x] = total / span
        values = [0.0] * (width * height)
        for x in range(width):
            for y in range(height):
                total = 0.0
                for k in range(max(0, y - radius), min(height, y + radius + 1)):
                    total += rows[k * width + x]
                values[y * width + x] = total / span
    return values


# --- noise -------------------------------------------------------------------------------------

def hash01(x, y, seed):
    """A repeatable pseudo-random value in [0, 1) for an integer lattice point."""
    h = (x * 0x27D4EB2D + y * 0x165667B1 + seed * 0x9E3779B9) & 0xFFFFFFFF
    h ^= h >> 15
    h = (h * 0x2C1B3C6D) & 0xFFFFFFFF
    h ^= h >> 12
    h = (h * 0x297A2D39) & 0xFFFFFFFF
    h ^= h >> 15
    return h / 4294967296.0


def noise_field(width, height, cell, seed):
    """Value noise for a whole picture: lattice values every `cell` pixels, smoothly blended."""
    cols, rows = width // cell + 2, height // cell + 2
    lattice = [[hash01(i, j, seed) for i in range(cols)] for j in range(rows)]

    def weights(n):
        out = []
        for p in range(n):
            i, t = divmod(p, cell)
            t /= cell
            out.append((i, t * t * (3 - 2 * t)))
        return out
    wx, wy = weights(width), weights(height)
    field = []
    for j, ty in wy:
        top, bottom = lattice[j], lattice[j + 1]
        for i, tx in wx:
            a = mix(top[i], top[i + 1], tx)
            b = mix(bottom[i], bottom[i + 1], tx)
            field.append(mix(a, b, ty))
    return field


# --- canvas ------------------------------------------------------------------------------------

class Canvas:
    """Premultiplied RGBA in floats (colour 0..255, alpha 0..1), transparent to begin with."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [(0.0, 0.0, 0.0, 0.0)] * (width * height)

    def paint(self, coverage, colour, opacity=1.0):
        """Lays a colour over the canvas through a mask. `colour` is an (r, g, b) triple or a
        function of (x, y) giving one."""
        w = self.width
        for i, c in enumerate(coverage):
            a = c * opacity
            if a <= 0.0:
                continue
            x, y = i % w, i // w
            r, g, b = colour(x, y) if callable(colour) else colour
            dr, dg, db, da = self.pixels[i]
            keep = 1.0 - a
            self.pixels[i] = (r * a + dr * keep, g * a + dg * keep, b * a + db * keep, a + da * keep)

    def alpha(self):
        return [p[3] for p in self.pixels]

    def rgba_rows(self):
        """Straight (not premultiplied) 8-bit RGBA, one bytes object per row from the top."""
        rows = []
        for y in range(self.height):
            row = bytearray()
            for r, g, b, a in self.pixels[y * self.width:(y + 1) * self.width]:
                if a <= 0.0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes((_byte(r / a), _byte(g / a), _byte(b / a), _byte(a * 255.0)))
            rows.append(bytes(row))
        return rows


def _byte(v):
    return int(clamp(v, 0.0, 255.0) + 0.5)
