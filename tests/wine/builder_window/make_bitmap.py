#!/usr/bin/env python3
"""Writes a 24-bit BMP of W x H filled with one colour, its top-left 8 x 8
pixels in another (a block, so that the corner survives scaling down).

  make_bitmap.py OUT W H R G B  R0 G0 B0
"""
import struct
import sys

out, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
fill = bytes([int(sys.argv[6]), int(sys.argv[5]), int(sys.argv[4])])  # BGR
corner = bytes([int(sys.argv[9]), int(sys.argv[8]), int(sys.argv[7])])
stride = (w * 3 + 3) & ~3
rows = []
for y in range(h):  # bottom-up: the last row written is the top row
    row = bytearray(fill * w)
    if y >= h - 8:
        row[0:24] = corner * 8
    rows.append(bytes(row) + b'\0' * (stride - w * 3))
pixels = b''.join(rows)
header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
open(out, 'wb').write(header + info + pixels)
