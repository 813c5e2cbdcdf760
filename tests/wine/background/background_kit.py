#!/usr/bin/env python3
"""Resource scripts and pictures for the background test, and the colours
the screen should show.

  background_kit.py modules DIR     writes DIR/<case>.rc and the BMP files
  background_kit.py band H Y        colour of row Y of a scheme-1 gradient
                                    H rows high, as RRGGBB
  background_kit.py stretch W H Y   colour of row Y of the stretched
                                    background picture in a W x H client
"""
import struct
import sys

MAGENTA, YELLOW = (255, 0, 255), (255, 255, 0)
CYAN, PURPLE = (0, 255, 255), (128, 0, 128)
ORANGE, GREEN = (255, 128, 0), (0, 160, 0)
PICTURE_W, PICTURE_H, PICTURE_ORANGE_ROWS = 100, 400, 60


def bmp24(width, height, pixel):
    stride = (width * 3 + 3) // 4 * 4
    rows = b""
    for y in range(height - 1, -1, -1):  # bottom-up
        row = b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(width)))
        rows += row + b"\0" * (stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + 40 + len(rows), 0, 0, 54) + info + rows


def framed(width, height, border, outer, inner):
    def pixel(x, y):
        inside = border <= x < width - border and border <= y < height - border
        return inner if inside else outer
    return bmp24(width, height, pixel)


def fade_patterns():
    """Four 8 x 8 patterns that let more of the picture through each step;
    the first step's pattern is the last 32 bytes of the rows."""
    def pattern(step):
        out = b""
        for y in range(8):
            bits = 0
            for x in range(8):
                if (x + 2 * y) % 4 <= step:
                    bits |= 0x80 >> x
            out += bytes((bits, 0, 0, 0))
        return out
    rows = b"".join(pattern(s) for s in (3, 2, 1, 0))
    info = struct.pack("<IiiHHIIiiII", 40, 8, 32, 1, 1, 0, len(rows), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    offset = 14 + 40 + len(palette)
    return struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) + info + palette + rows


CASES = {
    # Blue gradient, text title at the top right (asking for a fade, which
    # a text title never has), a logo faded in at the bottom left, full
    # screen and not sizeable.
    "gradient": ({7: r"\x85\x82", 8: r"\x01", 9: "Setup$", 10: "#", 15: r"\x02"},
                 {2: "logo.bmp", 104: "fade.bmp"}),
    # Solid blue, full screen and sizeable, a logo faded in at the bottom
    # right without the fade patterns (it then appears at once).
    "solid": ({7: r"\x84\x01", 8: r"\x06", 10: "#", 15: r"\x04"}, {2: "logo.bmp"}),
    # A stretched picture with a title picture and no layout word: the
    # title picture stays at 0, 0 and is faded in. A plain window.
    "picture": ({8: r"\x01", 9: "#", 15: r"\x01"},
                {1: "title.bmp", 3: "back.bmp", 104: "fade.bmp"}),
}


def modules(folder):
    files = {
        "logo.bmp": framed(60, 40, 8, MAGENTA, YELLOW),
        "title.bmp": framed(120, 50, 6, CYAN, PURPLE),
        "back.bmp": bmp24(PICTURE_W, PICTURE_H,
                          lambda x, y: ORANGE if y < PICTURE_ORANGE_ROWS else GREEN),
        "fade.bmp": fade_patterns(),
    }
    for name, data in files.items():
        with open(f"{folder}/{name}", "wb") as f:
            f.write(data)
    for case, (strings, bitmaps) in CASES.items():
        lines = ["STRINGTABLE", "BEGIN"]
        lines += [f'  {i}, "{t}"' for i, t in sorted(strings.items())]
        lines += ["END"]
        lines += [f'{i} BITMAP "{f}"' for i, f in sorted(bitmaps.items())]
        with open(f"{folder}/{case}.rc", "w") as f:
            f.write("\n".join(lines) + "\n")


def mul_div(a, b, c):
    """a * b / c rounded, halves away from zero."""
    n = a * b
    q = (abs(n) + abs(c) // 2) // abs(c)
    return -q if (n < 0) != (c < 0) else q


def band(height, y):
    top, bottom = 0xFF0000, 0x400000  # BGR: blue to dark blue
    n = max(i for i in range(256) if mul_div(height, i, 256) <= y)
    bgr = 0
    for shift in (0, 8, 16):
        a, b = top >> shift & 255, bottom >> shift & 255
        bgr |= (a + mul_div(n, b - a, 255)) << shift
    return f"{bgr & 255:02X}{bgr >> 8 & 255:02X}{bgr >> 16:02X}"


def stretch(width, height, y):
    # The part of the picture used keeps the client's aspect and starts at
    # its top: the full width and width * H / W rows.
    rows = round(PICTURE_W * height / width) if width / height > PICTURE_W / PICTURE_H else PICTURE_H
    source_row = (y + 0.5) * rows / height
    return "%02X%02X%02X" % (ORANGE if source_row < PICTURE_ORANGE_ROWS else GREEN)


if __name__ == "__main__":
    cmd = sys.argv[1]
    if cmd == "modules":
        modules(sys.argv[2])
    elif cmd == "band":
        print(band(int(sys.argv[2]), int(sys.argv[3])))
    elif cmd == "stretch":
        print(stretch(*(int(a) for a in sys.argv[2:5])))
