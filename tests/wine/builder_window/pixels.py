#!/usr/bin/env python3
"""Pixel facts of a screenshot, for the preview checks.

  pixels.py SHOT.png box R G B      bounding box "x y w h" of that exact colour
  pixels.py SHOT.png at X Y         the colour "r g b" at a pixel
  pixels.py SHOT.png column X Y0 Y1 the colours of a column, one "r g b" a line
"""
import subprocess
import sys

shot = sys.argv[1]
size = subprocess.run(['identify', '-format', '%w %h', shot], capture_output=True, text=True, check=True).stdout
width, height = map(int, size.split())
raw = subprocess.run(['convert', shot, '-depth', '8', 'rgb:-'], capture_output=True, check=True).stdout


def pixel(x, y):
    i = (y * width + x) * 3
    return raw[i], raw[i + 1], raw[i + 2]


command = sys.argv[2]
if command == 'box':
    want = tuple(int(v) for v in sys.argv[3:6])
    xs, ys = [], []
    for y in range(height):
        for x in range(width):
            if pixel(x, y) == want:
                xs.append(x)
                ys.append(y)
    if not xs:
        sys.exit('colour not found')
    print(min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)
elif command == 'at':
    print(*pixel(int(sys.argv[3]), int(sys.argv[4])))
elif command == 'column':
    x = int(sys.argv[3])
    for y in range(int(sys.argv[4]), int(sys.argv[5])):
        print(*pixel(x, y))
