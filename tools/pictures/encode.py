# File formats of the generated pictures: PNG (8-bit RGBA, no ancillary chunks), Windows ICO
# (one 32-bit image in BMP form) and baseline JFIF through Debian's cjpeg. Nothing that varies
# between runs (times, names, versions) goes into a file.
import shutil
import struct
import subprocess
import zlib

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_rgba(width, rows):
    """A PNG file from straight RGBA rows (top first): colour type 6, bit depth 8, every row
    unfiltered, IDAT compressed at level 9."""
    assert all(len(row) == width * 4 for row in rows)
    raw = b"".join(b"\0" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, len(rows), 8, 6, 0, 0, 0)
    return (PNG_SIGNATURE + _chunk(b"IHDR", header) + _chunk(b"IDAT", zlib.compress(raw, 9))
            + _chunk(b"IEND", b""))


def ico_rgba(width, rows):
    """A Windows icon file holding one 32-bit image: the directory, one entry, then a BMP
    info header, the BGRA pixels bottom row first, and the 1-bit AND mask (1 = transparent),
    also bottom row first, each mask row padded to 32 bits."""
    height = len(rows)
    assert 0 < width <= 256 and 0 < height <= 256
    pixels = bytearray()
    mask = bytearray()
    mask_stride = (width + 31) // 32 * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(width):
            r, g, b, a = row[4 * x:4 * x + 4]
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    image_size = len(pixels) + len(mask)
    info = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 32, 0, image_size, 0, 0, 0, 0)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                        len(info) + image_size, 6 + 16)
    return directory + entry + info + bytes(pixels) + bytes(mask)


def cjpeg_path():
    path = shutil.which("cjpeg")
    if path is None:
        raise SystemExit("cjpeg not found: install Debian's libjpeg-turbo-progs (scripts/setup)")
    return path


def jpeg_rgb(width, rows, quality):
    """A baseline JFIF file from opaque RGBA rows, encoded by cjpeg with its default 2x2
    chroma subsampling and fixed Huffman tables."""
    rgb = bytearray()
    for row in rows:
        for x in range(width):
            rgb += row[4 * x:4 * x + 3]
    ppm = b"P6\n%d %d\n255\n" % (width, len(rows)) + bytes(rgb)
    result = subprocess.run([cjpeg_path(), "-quality", str(quality), "-baseline", "-dct", "int"],
                            input=ppm, capture_output=True, check=True)
    return result.stdout
