#!/usr/bin/env python3
"""Draws the pictures of a language module and writes them as BMP and ICO files.

Usage: make_pictures.py OUTPUT_FOLDER

side.bmp     bitmap 100: the side picture of the wizard pages (144 x 300)
states.bmp   bitmap 101: check box and option button cells of the component
             list, 16 x 16 each: box off, on, partly; button off, on, partly
mark.bmp     bitmap 102: the check mark of a finished uninstall step
dither.bmp   bitmap 104: four 8 x 8 fade patterns, the one used first last
setup.ico    icon group 2: the icon inside Setup's boxes
package.ico  icon group 3: the icon of the package file

All pictures are palette bitmaps so that they show on 256-colour displays
and keep the modules small. Only the standard library is used.
"""
import math
import os
import struct
import sys

# Greys that the system swaps for the current 3D colours when a bitmap is
# loaded with mapped 3D colours; the state cells and the mark use exactly
# these so that they follow the user's colour scheme.
SHADOW = (128, 128, 128)
FACE = (192, 192, 192)
LIGHT = (223, 223, 223)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


# ---- file writers -----------------------------------------------------------

def _rows_bottom_up(pixels, width, height, bits):
    """Packs palette indexes row by row, bottom row first, rows padded to 4 bytes."""
    out = bytearray()
    stride = ((width * bits + 31) // 32) * 4
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            index = pixels[y * width + x]
            bitpos = x * bits
            shift = 8 - bits - (bitpos % 8)
            row[bitpos // 8] |= index << shift
        out += row
    return bytes(out)


def _info_header(width, height, bits, colours, image_size):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0,
                       image_size, 2835, 2835, colours, colours)


def _palette_bytes(palette):
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)


def write_bmp(path, width, height, palette, pixels, bits):
    """A BMP file with a 14-byte file header whose size field is the file size."""
    colours = 1 << bits
    palette = list(palette) + [BLACK] * (colours - len(palette))
    data = _rows_bottom_up(pixels, width, height, bits)
    info = _info_header(width, height, bits, colours, len(data))
    table = _palette_bytes(palette)
    offset = 14 + len(info) + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + table + data)


def write_ico(path, images):
    """An ICO file from (size, palette, pixels, mask) tuples; 8 bits per pixel.

    mask[i] is 1 where the icon is transparent; those pixels carry palette
    index 0, which is black, as the system's XOR drawing expects.
    """
    blobs = []
    for size, palette, pixels, mask in images:
        palette = list(palette) + [BLACK] * (256 - len(palette))
        xor = _rows_bottom_up(pixels, size, size, 8)
        andm = _rows_bottom_up(mask, size, size, 1)
        info = _info_header(size, size * 2, 8, 0, len(xor) + len(andm))
        blobs.append((size, info + _palette_bytes(palette) + xor + andm))
    out = bytearray(struct.pack('<HHH', 0, 1, len(blobs)))
    offset = 6 + 16 * len(blobs)
    for size, blob in blobs:
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 8, len(blob), offset)
        offset += len(blob)
    for _, blob in blobs:
        out += blob
    with open(path, 'wb') as f:
        f.write(out)


# ---- colour reduction -------------------------------------------------------

def reduce_colours(rgb, limit, reserved=()):
    """Median cut: a palette of at most `limit` colours (after `reserved`) and indexes."""
    counts = {}
    for c in rgb:
        counts[c] = counts.get(c, 0) + 1
    boxes = [list(counts.items())]
    while len(boxes) < limit:
        # Split the box with the widest channel range that can be split.
        best, best_range, best_channel = None, 0, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                values = [c[ch] for c, _ in box]
                r = max(values) - min(values)
                if r > best_range:
                    best, best_range, best_channel = i, r, ch
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda e: e[0][best_channel])
        total = sum(n for _, n in box)
        half, acc, cut = total / 2, 0, 1
        for k, (_, n) in enumerate(box):
            acc += n
            if acc >= half:
                cut = max(1, min(len(box) - 1, k + 1))
                break
        boxes += [box[:cut], box[cut:]]
    palette = list(reserved)
    lookup = {}
    for box in boxes:
        total = sum(n for _, n in box)
        mean = tuple(int(round(sum(c[ch] * n for c, n in box) / total)) for ch in range(3))
        index = len(palette)
        palette.append(mean)
        for c, _ in box:
            lookup[c] = index
    return palette, [lookup[c] for c in rgb]


# ---- drawing helpers --------------------------------------------------------

def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def inside(poly, x, y):
    """Even-odd test of a point against a polygon given as (x, y) corners."""
    hit = False
    n = len(poly)
    for i in range(n):
        x1, y1 = poly[i]
        x2, y2 = poly[(i + 1) % n]
        if (y1 > y) != (y2 > y):
            if x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                hit = not hit
    return hit


def emblem_shapes(cx, cy, s, with_arrow):
    """The emblem: an open box seen from above at an angle, with an arrow into it.

    Returns (polygon, colour) pairs, back to front.
    """
    k = 0.866 * s
    top = [(cx, cy - s), (cx + k, cy - s / 2), (cx, cy), (cx - k, cy - s / 2)]
    left = [(cx - k, cy - s / 2), (cx, cy), (cx, cy + s), (cx - k, cy + s / 2)]
    right = [(cx, cy), (cx + k, cy - s / 2), (cx + k, cy + s / 2), (cx, cy + s)]
    # The opening of the box: a smaller rhombus inside the top face.
    m = 0.62
    hole = [(cx, cy - s / 2 - m * s / 2), (cx + m * k, cy - s / 2),
            (cx, cy - s / 2 + m * s / 2), (cx - m * k, cy - s / 2)]
    shapes = [
        (top, (222, 236, 250)),
        (hole, (58, 92, 140)),
        (left, (150, 186, 222)),
        (right, (96, 140, 196)),
    ]
    if with_arrow:
        w = 0.16 * s
        head = 0.34 * s
        tip = cy - s / 2 + 0.1 * s
        base = tip - head
        tail = tip - 1.25 * s
        arrow = [(cx - w, tail), (cx + w, tail), (cx + w, base), (cx + 2.3 * w, base),
                 (cx, tip), (cx - 2.3 * w, base), (cx - w, base)]
        shapes.append((arrow, (255, 206, 64)))
    return shapes


def render(width, height, background, shapes, samples):
    """Supersampled drawing: background(x, y) -> colour, shapes painted over it.

    Returns the colours and, per pixel, the share of samples inside a shape.
    """
    rgb, cover = [], []
    offsets = [(i + 0.5) / samples for i in range(samples)]
    for y in range(height):
        for x in range(width):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for oy in offsets:
                for ox in offsets:
                    px, py = x + ox, y + oy
                    colour = None
                    for poly, c in shapes:
                        if inside(poly, px, py):
                            colour = c
                    if colour is None:
                        colour = background(px, py)
                    else:
                        hits += 1
                    for i in range(3):
                        acc[i] += colour[i]
            n = samples * samples
            rgb.append(tuple(int(round(v / n)) for v in acc))
            cover.append(hits / n)
    return rgb, cover


# ---- the pictures -----------------------------------------------------------

def side_picture(path):
    width, height = 144, 300
    top, bottom = (18, 42, 98), (12, 122, 138)
    cx, cy = width / 2, 124.0

    def background(x, y):
        base = mix(top, bottom, y / height)
        # A soft light behind the emblem, fading out towards the edges.
        d = math.hypot(x - cx, (y - cy) * 0.9) / 70.0
        glow = max(0.0, 1.0 - d) ** 2 * 0.45
        base = mix(base, (150, 200, 235), glow)
        # A few faint diagonal bands give the plain gradient some depth.
        band = 0.5 + 0.5 * math.sin((x * 0.55 + y) / 26.0)
        return mix(base, (255, 255, 255), 0.035 * band)

    rgb, _ = render(width, height, background, emblem_shapes(cx, cy, 34, True), 3)
    palette, pixels = reduce_colours(rgb, 256)
    write_bmp(path, width, height, palette, pixels, 8)


def state_cells(path):
    width, height = 96, 16
    palette = [WHITE, WHITE, BLACK, SHADOW, FACE, LIGHT]
    BG, PAPER, INK, SH, FC, LT = range(6)
    px = [BG] * (width * height)

    def put(x, y, c):
        px[y * width + x] = c

    check = ["......X", ".....XX", "X...XXX", "XX.XXX.", "XXXXX..", ".XXX...", "..X...."]
    for cell in range(3):
        x0, y0 = cell * 16 + 1, 2
        for y in range(13):
            for x in range(13):
                if y == 12 or x == 12:
                    c = PAPER
                elif y == 0 or x == 0:
                    c = SH
                elif y == 11 or x == 11:
                    c = LT
                elif y == 1 or x == 1:
                    c = INK
                else:
                    c = FC if cell == 2 else PAPER
                put(x0 + x, y0 + y, c)
        if cell:
            for y, line in enumerate(check):
                for x, ch in enumerate(line):
                    if ch == 'X':
                        put(x0 + 3 + x, y0 + 3 + y, SH if cell == 2 else INK)
    for cell in range(3):
        ox, oy = 48 + cell * 16 + 2, 2
        c0 = 5.5
        for y in range(12):
            for x in range(12):
                d = math.hypot(x - c0, y - c0)
                upper = (x - c0) + (y - c0) < 0
                if d >= 6.2:
                    continue
                if d >= 5.0:
                    c = SH if upper else PAPER
                elif d >= 4.0:
                    c = INK if upper else LT
                else:
                    c = FC if cell == 2 else PAPER
                    if cell and d < 2.0:
                        c = SH if cell == 2 else INK
                put(ox + x, oy + y, c)
    write_bmp(path, width, height, palette, px, 8)


def step_mark(path):
    size = 16
    shape = [(2.5, 8.5), (5.0, 6.2), (7.0, 8.6), (12.6, 2.6), (14.6, 4.8), (7.0, 13.0)]
    rgb, _ = render(size, size, lambda x, y: FACE, [(shape, (0, 110, 40))], 4)
    palette, pixels = reduce_colours(rgb, 15, reserved=[FACE])
    # The corner pixel decides the transparent colour; keep it the face grey.
    pixels = [0 if c == FACE else i for c, i in zip(rgb, pixels)]
    write_bmp(path, size, size, palette, pixels, 8)


def dither_patterns(path):
    """Four nested ordered-dither patterns: 1/4, 1/2, 3/4 and all of the pixels.

    The fade takes the patterns from the end of the bits towards the start,
    and the bits are stored bottom row first, so the pattern drawn first (a
    quarter) is the top of the picture and the full one its bottom.
    """
    bayer = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]
    width, height = 8, 32
    px = []
    for y in range(height):
        step = y // 8 + 1  # 1 at the top .. 4 at the bottom
        for x in range(width):
            px.append(1 if bayer[y % 4][x % 4] < 4 * step else 0)
    write_bmp(path, width, height, [WHITE, BLACK], px, 1)


def icon_image(size, with_arrow):
    s = size * 0.36
    cx, cy = size / 2, size * 0.56 if with_arrow else size / 2
    shapes = emblem_shapes(cx, cy, s, with_arrow)
    rgb, cover = render(size, size, lambda x, y: (255, 0, 255), shapes, 4)
    mask = [0 if c >= 0.5 else 1 for c in cover]
    # Edge pixels were mixed with the magenta backdrop; darken them into an
    # outline instead, so the icon reads on light and dark desktops alike.
    out = []
    for i, c in enumerate(rgb):
        if mask[i]:
            out.append(BLACK)
            continue
        x, y = i % size, i // size
        edge = any(not (0 <= x + dx < size and 0 <= y + dy < size) or mask[(y + dy) * size + x + dx]
                   for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        out.append((30, 50, 90) if edge else c)
    palette, pixels = reduce_colours([c for c, m in zip(out, mask) if not m], 255, reserved=[BLACK])
    it = iter(pixels)
    indexes = [0 if m else next(it) for m in mask]
    return size, palette, indexes, mask


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: make_pictures.py OUTPUT_FOLDER')
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    side_picture(os.path.join(out, 'side.bmp'))
    state_cells(os.path.join(out, 'states.bmp'))
    step_mark(os.path.join(out, 'mark.bmp'))
    dither_patterns(os.path.join(out, 'dither.bmp'))
    write_ico(os.path.join(out, 'setup.ico'), [icon_image(32, True), icon_image(16, True)])
    write_ico(os.path.join(out, 'package.ico'), [icon_image(32, False), icon_image(16, False)])


if __name__ == '__main__':
    main()
