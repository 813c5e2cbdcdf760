#!/usr/bin/env python3
"""Writes the binary source files of the demo project into a folder.

Usage: make_demo_files.py FOLDER

Pictures (24-bit BMP): welcome, background, title, logo, the list-box
strip and an advertisement series of three. They are drawn here so that the
repository holds no binary files.
"""
import os
import struct
import sys


def bmp(path, width, height, colour_at):
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = colour_at(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        pixels += row
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + pixels)


def gradient(top, bottom, height):
    def at(x, y):
        t = y / max(1, height - 1)
        return tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
    return at


def main(folder):
    os.makedirs(folder, exist_ok=True)
    bmp(os.path.join(folder, 'willkommen.bmp'), 144, 300, gradient((20, 60, 120), (120, 180, 230), 300))
    bmp(os.path.join(folder, 'BackGround.bmp'), 64, 48, gradient((0, 64, 64), (0, 128, 128), 48))
    bmp(os.path.join(folder, 'titel.bmp'), 240, 40,
        lambda x, y: (250, 250, 250) if (x // 8 + y // 8) % 2 else (30, 30, 90))
    bmp(os.path.join(folder, 'logo.bmp'), 64, 64,
        lambda x, y: (200, 40, 40) if (x - 32) ** 2 + (y - 32) ** 2 < 700 else (255, 255, 255))
    bmp(os.path.join(folder, 'liste.bmp'), 64, 16,
        lambda x, y: ((x // 16) * 60, 120, 200 - (x // 16) * 40))
    for n, colour in ((1, (220, 120, 0)), (2, (0, 140, 60)), (3, (90, 0, 160))):
        bmp(os.path.join(folder, 'Werbung%02d.bmp' % n), 320, 120,
            lambda x, y, c=colour: c if y > 20 else (255, 255, 255))


if __name__ == '__main__':
    main(sys.argv[1])
