#!/usr/bin/env python3
"""Draws the splash logo: a 500 x 300, 24-bit bottom-up BMP.

A deep blue to teal gradient, a sun disc with rays (the product's emblem) and
the product name in a blocky hand-set type. Standard library only, so that the
build needs nothing more than Python.

usage: make_logo.py OUTPUT.bmp
"""
import math
import struct
import sys

WIDTH, HEIGHT = 500, 300

# 5 x 7 glyphs of the letters the name needs; "#" marks a lit cell.
GLYPHS = {
    "S": [" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "],
    "o": ["     ", "     ", " ### ", "#   #", "#   #", "#   #", " ### "],
    "l": [" ##  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    "v": ["     ", "     ", "#   #", "#   #", "#   #", " # # ", "  #  "],
    "i": ["  #  ", "     ", " ##  ", "  #  ", "  #  ", "  #  ", " ### "],
    "k": ["#    ", "#    ", "#  # ", "# #  ", "##   ", "# #  ", "#  # "],
    "a": ["     ", "     ", " ### ", "    #", " ####", "#   #", " ####"],
}


def mix(a, b, t):
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


def draw():
    top, bottom = (18, 42, 110), (16, 128, 140)
    pixels = [[mix(top, bottom, y / (HEIGHT - 1)) for _ in range(WIDTH)] for y in range(HEIGHT)]

    # The emblem: a warm disc with twelve rays, left of the name.
    cx, cy, r = 120, 150, 46
    for y in range(HEIGHT):
        for x in range(WIDTH):
            dx, dy = x - cx, y - cy
            d = math.hypot(dx, dy)
            if d <= r:
                pixels[y][x] = mix((255, 214, 90), (250, 150, 40), d / r)
            elif d <= r + 34:
                angle = math.atan2(dy, dx) % (math.pi / 6)
                if abs(angle - math.pi / 12) < 0.09 and d > r + 8:
                    pixels[y][x] = (255, 196, 70)

    # The name, each glyph cell drawn as a 7 x 7 block, over its shadow.
    cell, x0, y0 = 7, 192, 126
    for shadow, colour in ((True, (8, 24, 60)), (False, (250, 250, 255))):
        ox = x0 + (3 if shadow else 0)
        oy = y0 + (3 if shadow else 0)
        for ch in "Solvika":
            for gy, row in enumerate(GLYPHS[ch]):
                for gx, lit in enumerate(row):
                    if lit != "#":
                        continue
                    for py in range(cell):
                        for px in range(cell):
                            x, y = ox + gx * cell + px, oy + gy * cell + py
                            if 0 <= x < WIDTH and 0 <= y < HEIGHT:
                                pixels[y][x] = colour
            ox += 6 * cell
    # A thin light frame.
    for x in range(WIDTH):
        pixels[0][x] = pixels[HEIGHT - 1][x] = (200, 220, 255)
    for y in range(HEIGHT):
        pixels[y][0] = pixels[y][WIDTH - 1] = (200, 220, 255)
    return pixels


def write_bmp(path, pixels):
    row_size = (WIDTH * 3 + 3) & ~3
    image_size = row_size * HEIGHT
    header = struct.pack("<2sIHHI", b"BM", 54 + image_size, 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, image_size, 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info)
        for y in range(HEIGHT - 1, -1, -1):  # bottom-up rows, blue-green-red
            row = b"".join(bytes((b, g, r)) for (r, g, b) in pixels[y])
            f.write(row + b"\0" * (row_size - WIDTH * 3))


if __name__ == "__main__":
    write_bmp(sys.argv[1], draw())
