#!/usr/bin/env python3
# Makes the PNG decoder's fixtures (png_fixtures/) with Python's zlib: pictures of each colour
# type, row filter and deflate block kind the decoder takes, each with its expected pixels
# computed here from the rows it encoded; the expected pixels of every PNG under resources/,
# decoded here; and malformed or unsupported files the decoder must refuse. Every byte is
# deterministic: run it again and git shows no change.
#
# Expected pixels (.rgba): width and height as 32-bit big-endian numbers, then straight R, G, B, A
# bytes per pixel, rows top first.
import os
import random
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "png_fixtures")
RESOURCES = os.path.join(HERE, "..", "..", "..", "resources")
SIGNATURE = b"\x89PNG\r\n\x1a\n"
CHANNELS = {0: 1, 2: 3, 4: 2, 6: 4}


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def ihdr(width, height, colour, depth=8, interlace=0):
    return chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace))


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def predictor(kind, raw, prior, i, step):
    a = raw[i - step] if i >= step else 0
    b = prior[i]
    c = prior[i - step] if i >= step else 0
    return [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]


def filter_rows(rows, filters, step):
    """The filtered scan lines: each row's filter byte, then each byte minus its predictor."""
    out, prior = b"", bytes(len(rows[0]))
    for row, kind in zip(rows, filters):
        out += bytes([kind]) + bytes((row[i] - predictor(kind, row, prior, i, step)) & 0xFF
                                     for i in range(len(row)))
        prior = row
    return out


def unfilter(data, width, height, step):
    """Python's own reading of filtered scan lines, for pictures made elsewhere."""
    stride, rows, prior = width * step, [], bytes(width * step)
    for y in range(height):
        line = data[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        assert kind <= 4
        for i in range(stride):
            row[i] = (row[i] + predictor(kind, row, prior, i, step)) & 0xFF
        rows.append(bytes(row))
        prior = rows[-1]
    return rows


def rgba(colour, rows):
    """Straight RGBA bytes of rows of samples of a colour type."""
    out = bytearray()
    for row in rows:
        for x in range(0, len(row), CHANNELS[colour]):
            s = row[x:x + CHANNELS[colour]]
            out += {0: lambda: bytes([s[0], s[0], s[0], 255]), 2: lambda: s + b"\xff",
                    4: lambda: bytes([s[0], s[0], s[0], s[1]]), 6: lambda: s}[colour]()
    return bytes(out)


def block_type(stream):
    """The kind of the first deflate block: 0 stored, 1 fixed, 2 dynamic."""
    return (stream[2] >> 1) & 3


def png(width, height, colour, stream, idat_sizes=()):
    """A PNG with the zlib stream split into IDAT chunks of the sizes given, the rest in the last."""
    parts, at = [], 0
    for size in idat_sizes:
        parts.append(stream[at:at + size])
        at += size
    parts.append(stream[at:])
    return (SIGNATURE + ihdr(width, height, colour) + b"".join(chunk(b"IDAT", p) for p in parts)
            + chunk(b"IEND", b""))


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def expected(name, width, height, pixels):
    assert len(pixels) == width * height * 4
    write(name + ".rgba", struct.pack(">II", width, height) + pixels)


def samples(rng, count, values):
    return bytes(rng.choice(values) for _ in range(count))


# Sample values few enough that Paeth's three distances tie often, and large enough that
# Average's sum and every predictor's addition pass 255.
TIE_VALUES = [0, 10, 20, 30, 40, 200, 220, 250, 255]


def paeth_ties(rows, filters, step):
    """Which of Paeth's tie rules the rows exercise with distinct candidates: left over up-left,
    up over up-left. (Left and up tie with distinct values only when up-left is nearer still.)"""
    seen, prior = set(), bytes(len(rows[0]))
    for row, kind in zip(rows, filters):
        for i in range(len(row)):
            a = row[i - step] if i >= step else 0
            b, c = prior[i], prior[i - step] if i >= step else 0
            if kind != 4:
                continue
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            if pa == pc < pb and a != c:
                seen.add("left over up-left")
            if pb == pc < pa and b != c:
                seen.add("up over up-left")
        prior = row
    return seen


def compress(raw, level):
    """zlib at a level, or at 9 with fixed codes only for "fixed"."""
    if level != "fixed":
        return zlib.compress(raw, level)
    fixed = zlib.compressobj(9, zlib.DEFLATED, 15, 9, zlib.Z_FIXED)
    return fixed.compress(raw) + fixed.flush()


def good_fixture(name, width, height, colour, filters, level, want_block, idat_sizes=(), seed=1, ties=True,
                 values=TIE_VALUES):
    step = CHANNELS[colour]
    filters = [filters[y % len(filters)] for y in range(height)]
    # The first seed from `seed` on whose rows meet both of Paeth's tie rules (if asked for).
    while True:
        rng = random.Random(seed)
        rows = [samples(rng, width * step, values) for _ in range(height)]
        if not ties or len(paeth_ties(rows, filters, step)) == 2:
            break
        seed += 1
    stream = compress(filter_rows(rows, filters, step), level)
    assert block_type(stream) == want_block, (name, block_type(stream))
    write(name + ".png", png(width, height, colour, stream, idat_sizes))
    expected(name, width, height, rgba(colour, rows))


def long_match_fixture():
    """RGBA rows 128 wide: two rows of random samples, white rows, then the two random rows again
    32,319 bytes after the first: copies of length 258 from near the far end of the window. The
    white makes the Adler-32 sums large enough to overflow 32 bits unless reduced as they go."""
    rng = random.Random(7)
    width, random_rows = 128, [bytes(rng.randrange(0, 255) for _ in range(512)) for _ in range(2)]
    rows = random_rows + [b"\xff" * 512] * 61 + random_rows
    raw = filter_rows(rows, [0] * len(rows), 4)
    stream = zlib.compress(raw, 9)
    # Without the far copies the second pair of rows would cost about as much as the first.
    assert len(stream) < 1.3 * 1024, len(stream)
    write("long_match.png", png(width, len(rows), 6, stream))
    expected("long_match", width, len(rows), rgba(6, rows))


class Bits:
    """A deflate bit stream: values least significant bit first, Huffman codes most first."""

    def __init__(self):
        self.bits = []

    def value(self, v, n):
        self.bits += [(v >> i) & 1 for i in range(n)]

    def code(self, c, n):
        self.bits += [(c >> (n - 1 - i)) & 1 for i in range(n)]

    def bytes(self):
        padded = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(sum(padded[i + k] << k for k in range(8)) for i in range(0, len(padded), 8))


def zlib_wrap(deflate, raw):
    return b"\x78\x01" + deflate + struct.pack(">I", zlib.adler32(raw))


def fixed_literal(bits, v):
    bits.code(0x30 + v, 8) if v < 144 else bits.code(0x190 + v - 144, 9)


def handmade_fixed(distance):
    """A 4 x 1 grey picture of value 7 in one fixed block: literals 0 (filter) and 7, then a copy
    of length 3 from `distance` back (1 is right)."""
    bits = Bits()
    bits.value(1, 1)
    bits.value(1, 2)
    fixed_literal(bits, 0)
    fixed_literal(bits, 7)
    bits.code(1, 7)  # length symbol 257: 3
    bits.code(distance - 1, 5)  # distance symbols 0 to 3 are distances 1 to 4
    bits.code(0, 7)  # end of block
    raw = bytes([0, 7, 7, 7, 7])
    return zlib_wrap(bits.bytes(), raw), raw


def over_subscribed(literal):
    """A dynamic block whose code-length code (or, with `literal`, literal/length code) has more
    codes of one length than that length can tell apart."""
    bits = Bits()
    bits.value(1, 1)
    bits.value(2, 2)
    bits.value(0, 5)  # 257 literal/length codes
    bits.value(0, 5)  # 1 distance code
    bits.value(15, 4)  # all 19 code-length codes
    order = [16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15]
    lengths = {1: 1, 18: 1} if literal else {s: 1 for s in order}
    for s in order:
        bits.value(lengths.get(s, 0), 3)
    for _ in range(258):
        bits.code(0, 1)  # code-length symbol 1: every code one bit long
    return zlib_wrap(bits.bytes(), b"")


def chunks(data):
    """(kind, data) of each chunk of a PNG file."""
    at, found = 8, []
    while at < len(data):
        length = struct.unpack(">I", data[at:at + 4])[0]
        found.append((data[at + 4:at + 8], data[at + 8:at + 8 + length]))
        at += 12 + length
    return found


def rebuilt(data, change=lambda kind, body: body, crc_error=None):
    """The file with each chunk's data passed through `change` and its CRC made right, except for
    the chunk of kind `crc_error`, whose CRC is made wrong."""
    out = SIGNATURE
    for kind, body in chunks(data):
        made = chunk(kind, change(kind, body))
        out += made[:-1] + bytes([made[-1] ^ (kind == crc_error)])
    return out


def picture(width, height, colour, raw, depth=8, interlace=0, before_data=b"", after_data=b""):
    return (SIGNATURE + ihdr(width, height, colour, depth, interlace) + before_data
            + chunk(b"IDAT", zlib.compress(raw, 9)) + after_data + chunk(b"IEND", b""))


def refused_fixtures(base, raw):
    """Files the decoder must refuse, each made from the base fixture (7 x 10 RGBA, its filtered
    rows `raw`) or by hand, and each otherwise whole: data of the size its header calls for,
    right CRCs and Adler-32, so that only the one fault tells it from a picture."""
    far, _ = handmade_fixed(5)
    zlib_data = lambda change: rebuilt(base, lambda k, b: change(b) if k == b"IDAT" else b)  # noqa: E731
    zeros = lambda width, height, bytes_per_pixel: bytes(height * (1 + width * bytes_per_pixel))  # noqa: E731
    cases = {
        "bad_data_crc": rebuilt(base, crc_error=b"IDAT"),
        "bad_header_crc": rebuilt(base, crc_error=b"IHDR"),
        "bad_adler": zlib_data(lambda d: d[:-1] + bytes([d[-1] ^ 1])),
        "bad_zlib_header_check": zlib_data(lambda d: b"\x78\x02" + d[2:]),
        "preset_dictionary": zlib_data(lambda d: b"\x78\x20" + d[2:]),
        "not_deflate": zlib_data(lambda d: b"\x79\x1c" + d[2:]),
        "width_zero": picture(0, 10, 6, zeros(0, 10, 4)),
        "height_zero": picture(7, 0, 6, b""),
        "size_past_limit": picture(0x7FFFFFFF, 0x7FFFFFFF, 6, b""),
        "sixteen_bits": picture(7, 10, 6, zeros(7, 10, 8), depth=16),
        "grey_four_bits": picture(8, 10, 0, zeros(4, 10, 1), depth=4),
        "palette": picture(7, 10, 3, zeros(7, 10, 1), before_data=chunk(b"PLTE", bytes(3))),
        "colour_type_5": picture(7, 10, 5, raw),
        "interlaced": picture(7, 10, 6, raw, interlace=1),
        "colour_key": picture(7, 10, 2, zeros(7, 10, 3), before_data=chunk(b"tRNS", bytes(6))),
        "palette_with_grey": picture(7, 10, 0, zeros(7, 10, 1), before_data=chunk(b"PLTE", bytes(3))),
        "unknown_critical_chunk": picture(7, 10, 6, raw, before_data=chunk(b"ABCD", b"")),
        "no_image_data": SIGNATURE + ihdr(7, 10, 6) + chunk(b"IEND", b""),
        "no_end_chunk": base[:-12],
        "image_data_split_by_chunk": SIGNATURE + ihdr(7, 10, 6) + chunk(b"IDAT", zlib.compress(raw, 9)[:10])
        + chunk(b"tEXt", b"a\0b") + chunk(b"IDAT", zlib.compress(raw, 9)[10:]) + chunk(b"IEND", b""),
        "filter_byte_5": picture(7, 10, 6, bytes([5]) + raw[1:]),
        "one_byte_too_few": picture(7, 10, 6, raw[:-1]),
        "one_byte_too_many": picture(7, 10, 6, raw + b"\0"),
        "bytes_after_stream": zlib_data(lambda d: d + b"\0"),
        "distance_before_start": png(4, 1, 0, far),
        "over_subscribed_length_code": png(4, 1, 0, over_subscribed(False)),
        "over_subscribed_literal_code": png(4, 1, 0, over_subscribed(True)),
    }
    for name, data in cases.items():
        write("refused_" + name + ".png", data)


def resource_expectations():
    """Each PNG under resources/, decoded here with zlib, as the program's pictures are."""
    for name in sorted(os.listdir(RESOURCES)):
        if not name.endswith(".png"):
            continue
        with open(os.path.join(RESOURCES, name), "rb") as f:
            data = f.read()
        at, idat = 8, b""
        while at < len(data):
            length, kind = struct.unpack(">I4s", data[at:at + 8])
            body = data[at + 8:at + 8 + length]
            if kind == b"IHDR":
                width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
                assert depth == 8 and colour in CHANNELS and interlace == 0, name
            elif kind == b"IDAT":
                idat += body
            at += 12 + length
        rows = unfilter(zlib.decompress(idat), width, height, CHANNELS[colour])
        expected("resource_" + name[:-4], width, height, rgba(colour, rows))


def main():
    os.makedirs(OUT, exist_ok=True)
    for name in os.listdir(OUT):
        os.remove(os.path.join(OUT, name))
    # Filters 0 to 4 on rows of each colour type; Sub, Average and Paeth on first rows and on
    # each row's first pixel, where left (and up-left) are zeros.
    good_fixture("rgba_all_filters", 7, 10, 6, [0, 1, 2, 3, 4, 4, 3, 1], 9, 2)
    # Fixed codes pay only for data that repeats: fewer sample values there.
    good_fixture("rgb_fixed_block", 13, 6, 2, [4, 3, 1, 2], "fixed", 1, seed=2, ties=False, values=[0, 10, 20, 30])
    good_fixture("grey_stored", 9, 6, 0, [3, 4, 1, 2, 0, 4], 0, 0, seed=3)
    good_fixture("grey_alpha_split_data", 11, 13, 4, [1, 4, 3, 2, 0, 4, 4], 9, 2, idat_sizes=(1, 3, 20), seed=4)
    long_match_fixture()
    stream, raw = handmade_fixed(1)
    assert zlib.decompress(stream) == raw
    write("handmade_fixed.png", png(4, 1, 0, stream))
    expected("handmade_fixed", 4, 1, rgba(0, [raw[1:]]))
    with open(os.path.join(OUT, "rgba_all_filters.png"), "rb") as f:
        base = f.read()
    refused_fixtures(base, zlib.decompress(b"".join(b for k, b in chunks(base) if k == b"IDAT")))
    resource_expectations()


if __name__ == "__main__":
    sys.exit(main())
