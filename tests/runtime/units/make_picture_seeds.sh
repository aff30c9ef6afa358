#!/bin/sh
# Makes the picture fuzzer's seed files (picture_seeds/) with ImageMagick and Python: BMP files of
# each depth and header kind the reader takes, icons with DIB and PNG images, a cursor.
set -e
cd "$(dirname "$0")/picture_seeds"
convert -size 3x2 xc:red BMP3:rgb24.bmp
convert -size 3x3 xc:black -type bilevel BMP3:mono.bmp
convert -size 3x2 xc:'#FF000080' BMP:argb_v5.bmp
convert -size 3x2 xc:green -define bmp:subtype=RGB565 BMP:rgb565.bmp
convert -size 4x4 xc:red -size 2x2 xc:blue two.ico
convert -size 256x256 xc:red png_entry.ico
convert -size 4x4 xc:red cursor.cur
python3 - <<'PY'
import struct
# ImageMagick writes .cur as an icon file: make it a cursor with its hot spot at (1, 2).
c = bytearray(open('cursor.cur', 'rb').read())
struct.pack_into('<H', c, 2, 2)
struct.pack_into('<HH', c, 10, 1, 2)
open('cursor.cur', 'wb').write(c)
def bmp(name, w, h, bits, compression, colours, extra, pixels):
    body = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, compression, 0, 0, 0, colours, 0) + extra
    open(name, 'wb').write(b'BM' + struct.pack('<IHHI', 14 + len(body) + len(pixels), 0, 0, 14 + len(body)) +
                           body + pixels)
bmp('bitfields40.bmp', 3, -2, 16, 3, 0, struct.pack('<III', 0xF800, 0x7E0, 0x1F), bytes(16))
bmp('palette8_topdown.bmp', 3, -2, 8, 0, 3, struct.pack('<III', 0xFF0000, 0xFF00, 0xFF), bytes([0, 1, 2, 0, 2, 1, 0, 0]))
PY
