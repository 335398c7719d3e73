#!/usr/bin/env python3
"""Draws the catalogue window's pictures at build time, standard library only,
with the shapes and file writers of the shell's picture script:

  catalogue_images.bmp  the list's first six images, 16 x 16 side by side,
                        32-bit with alpha: 0 directory, 1 refresh, 2 close,
                        3 install, 4 information, 5 a plugin without an icon
                        of its own;
  catalogue_header.ico  the header picture (32 px).

usage: make_pictures.py IMAGES.bmp HEADER.ico
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "shell", "images"))
import make_images as mi  # noqa: E402

COUNT = 6


def install(c):
    c.fill(mi.union(mi.rect(0.5, 11, 15.5, 15.5)), mi.GREY, mi.DARK)
    c.fill(mi.union(mi.rect(6, 0.5, 10, 6), mi.polygon([(2.5, 6), (13.5, 6), (8, 12)])), mi.GREEN)


def header(c):
    mi.puzzle(c)
    c.fill(mi.union(mi.rect(10.5, 7.5, 14.5, 11.5), mi.polygon([(8, 11.5), (17, 11.5), (12.5, 16)])), mi.GREEN)


PICTURES = [mi.folder, mi.arrows, mi.close_plugin, install, mi.info_bubble, mi.puzzle]
assert len(PICTURES) == COUNT


def strip_rows(pixels):
    """Bottom-up blue, green, red, alpha rows; clear pixels are magenta with
    alpha 0, so the loader can also make a mask where alpha is not honoured."""
    out = []
    for row in reversed(pixels):
        for p in row:
            out.append(struct.pack("BBBB", p[2], p[1], p[0], 255) if p else b"\xff\0\xff\0")
    return b"".join(out)


def write_strip(path):
    size = mi.SIZE
    strip = [[None] * (size * COUNT) for _ in range(size)]
    for i, draw in enumerate(PICTURES):
        c = mi.Canvas(size)
        draw(c)
        for y in range(size):
            strip[y][i * size:(i + 1) * size] = c.pixels[y]
    bits = strip_rows(strip)
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(bits), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, size * COUNT, size, 1, 32, 0, len(bits), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(head + info + bits)


def icon_image(size, draw):
    c = mi.Canvas(size)
    draw(c)
    xor = mi.bgra_rows(c.pixels)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray(mask_row * size)
    for y, row in enumerate(reversed(c.pixels)):  # bottom-up, 1 = clear
        for x, p in enumerate(row):
            if p is None:
                mask[y * mask_row + x // 8] |= 0x80 >> (x % 8)
    head = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return head + xor + bytes(mask)


def write_icon(path, draw):
    sizes = [32]
    images = [icon_image(s, draw) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    write_strip(sys.argv[1])
    write_icon(sys.argv[2], header)
