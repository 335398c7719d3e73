#!/usr/bin/env python3
"""Draws the program's icon (16 and 32 pixel images, 32-bit with alpha) and
writes it as an .ico file: a blue disc with a white ring and a gold centre."""
import struct
import sys


def pixel(x, y, size):
    c = (size - 1) / 2.0
    d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5 / (size / 2.0)
    if d > 1.0:
        return (0, 0, 0, 0)
    alpha = 255 if d < 0.94 else int(255 * (1.0 - d) / 0.06)
    if d < 0.30:
        return (255, 196, 40, alpha)      # gold centre
    if 0.45 < d < 0.60:
        return (255, 255, 255, alpha)     # white ring
    shade = int(60 * (1.0 - d))
    return (40 + shade, 80 + shade, 200 + shade // 2, alpha)  # blue disc


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            rows.append(struct.pack("BBBB", b, g, r, a))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = b"\0" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(path):
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
