#!/usr/bin/env python3
"""Draws the shell's pictures at build time, standard library only:

  menu_images.bmp  the menu image strip, 20 images of 16 x 16 side by side,
                   32-bit with alpha (every pixel fully opaque or fully clear,
                   so straight and premultiplied alpha read the same);
  plugin.ico       the icon of a plugin without one of its own (16 and 32 px).

Each picture is a few shapes given as predicates over a 16 x 16 unit square;
a shape is filled and gets a darker outline where it meets the outside.

usage: make_images.py MENU_IMAGES.bmp PLUGIN.ico
"""
import math
import struct
import sys

SIZE = 16
COUNT = 20

WHITE = (255, 255, 255)
GREY = (160, 166, 176)
DARK = (60, 64, 72)
BLUE = (50, 110, 210)
NAVY = (30, 60, 140)
SKY = (170, 205, 250)
RED = (214, 40, 40)
GREEN = (40, 165, 60)
GOLD = (245, 195, 40)
BROWN = (150, 92, 40)
BEIGE = (238, 220, 176)
PAPER = (250, 250, 244)
PURPLE = (150, 70, 190)


def darker(c, k=0.55):
    return tuple(int(v * k) for v in c)


# --- shapes: predicates over unit coordinates (0..16) -----------------------

def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r0, r1):
    return lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1


def segment(x0, y0, x1, y1, width):
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / float(dx * dx + dy * dy)))
        px, py = x0 + t * dx, y0 + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2.0) ** 2
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / float(yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, *holes):
    return lambda x, y: shape(x, y) and not any(h(x, y) for h in holes)


class Canvas:
    def __init__(self, size):
        self.size = size
        self.scale = size / float(SIZE)
        self.pixels = [[None] * size for _ in range(size)]

    def _mask(self, shape):
        s = self.scale
        return [[shape((x + 0.5) / s, (y + 0.5) / s) for x in range(self.size)] for y in range(self.size)]

    def fill(self, shape, colour, outline="auto"):
        """Fills a shape; outline: "auto" (darker fill), None, or a colour."""
        m = self._mask(shape)
        edge = darker(colour) if outline == "auto" else outline
        n = self.size
        for y in range(n):
            for x in range(n):
                if not m[y][x]:
                    continue
                border = any(not (0 <= x + dx < n and 0 <= y + dy < n and m[y + dy][x + dx])
                             for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
                self.pixels[y][x] = edge if (border and edge is not None) else colour


def window(c, x0, y0, x1, y1, title=BLUE):
    """A small window: a frame with a title bar."""
    c.fill(rect(x0, y0, x1, y1), PAPER, DARK)
    c.fill(rect(x0 + 1, y0 + 1, x1 - 1, y0 + 3), title, None)


# --- the menu images, by index ----------------------------------------------

def gear(c):  # 0 settings
    def teeth(x, y):
        dx, dy = x - 8, y - 8
        a = math.atan2(dy, dx)
        r = 7.2 if (a * 8 / (2 * math.pi)) % 1.0 < 0.5 else 5.2
        return dx * dx + dy * dy <= r * r
    c.fill(minus(teeth, disc(8, 8, 2.2)), GREY, DARK)


def house(c):  # 1 home page
    c.fill(rect(3.5, 7, 12.5, 15), BEIGE, DARK)
    c.fill(polygon([(0.5, 8.5), (8, 1), (15.5, 8.5)]), RED)
    c.fill(rect(6.5, 10, 9.5, 15), BROWN, None)


def envelope(c):  # 2 letter
    c.fill(rect(0.5, 3, 15.5, 13), PAPER, DARK)
    c.fill(union(segment(1.5, 4, 8, 9, 1.1), segment(14.5, 4, 8, 9, 1.1)), DARK, None)


def exit_cross(c):  # 3 exit
    c.fill(disc(8, 8, 7.5), RED)
    c.fill(union(segment(5, 5, 11, 11, 2.2), segment(11, 5, 5, 11, 2.2)), WHITE, None)


def close_plugin(c):  # 4 close plugin
    window(c, 0.5, 1, 14, 13)
    c.fill(union(segment(5, 6.5, 10, 11, 2), segment(10, 6.5, 5, 11, 2)), RED, None)


def info_bubble(c):  # 5 info / forum
    c.fill(union(disc(8, 7, 6.8), polygon([(3, 10), (2, 15.5), (8, 12)])), BLUE)
    c.fill(union(rect(7, 6, 9, 11), disc(8, 3.7, 1.2)), WHITE, None)


def lock(c):  # 6 access
    c.fill(minus(ring(8, 6.5, 2.6, 4.5), rect(0, 6.5, 16, 16)), GREY, DARK)
    c.fill(union(rect(3.5, 6, 4.5, 8), rect(11.5, 6, 12.5, 8)), GREY, DARK)
    c.fill(rect(2.5, 7.5, 13.5, 15), GOLD)
    c.fill(union(disc(8, 10.5, 1.3), rect(7.5, 10.5, 8.5, 13)), darker(GOLD, 0.4), None)


def disk(c):  # 7 backup
    c.fill(polygon([(1, 1), (13, 1), (15, 3), (15, 15), (1, 15)]), BLUE, NAVY)
    c.fill(rect(4, 1, 11.5, 5.5), GREY, None)
    c.fill(rect(8.5, 1.8, 10.5, 4.5), NAVY, None)
    c.fill(rect(3.5, 8.5, 12.5, 14), PAPER, None)


def arrows(c):  # 8 updates
    def arc(x, y, a0, a1):
        a = math.degrees(math.atan2(y - 8, x - 8)) % 360
        return ring(8, 8, 4, 6.2)(x, y) and a0 <= a <= a1
    c.fill(union(lambda x, y: arc(x, y, 200, 340), lambda x, y: arc(x, y, 20, 160),
                 polygon([(13.8, 5.5), (15.8, 10), (10.5, 9.5)]),
                 polygon([(2.2, 10.5), (0.2, 6), (5.5, 6.5)])), GREEN)


def hide(c):  # 9 hide to the tray
    c.fill(union(rect(6, 1, 10, 6), polygon([(2.5, 6), (13.5, 6), (8, 11.5)])), BLUE)
    c.fill(rect(1, 13, 15, 15.5), GREY, DARK)


def open_window(c):  # 10 open
    window(c, 0.5, 1.5, 15.5, 14.5)


def maximise(c):  # 11 maximise
    c.fill(rect(1, 1, 15, 15), PAPER, DARK)
    c.fill(rect(2, 2, 14, 4.5), BLUE, None)
    c.fill(minus(rect(4, 6.5, 12, 13.5), rect(5, 8.5, 11, 12.5)), DARK, None)


def cascade(c):  # 12 cascade
    window(c, 0.5, 0.5, 10, 9)
    window(c, 5.5, 6.5, 15.5, 15.5)


def tile(c):  # 13 tile
    window(c, 0.5, 1.5, 7.5, 14.5)
    window(c, 8.5, 1.5, 15.5, 14.5)


def magnifier(c):  # 14 search
    c.fill(segment(9.5, 9.5, 14.5, 14.5, 3), BROWN)
    c.fill(disc(6.5, 6.5, 4.2), SKY, None)
    c.fill(ring(6.5, 6.5, 4.2, 6), DARK, None)


def book(c):  # 15 contents
    c.fill(rect(2.5, 1, 14, 15), BLUE, NAVY)
    c.fill(rect(2.5, 1, 4.5, 15), NAVY, None)
    c.fill(rect(6.5, 4, 12, 6.5), PAPER, None)


def folder(c):  # 16 group
    c.fill(polygon([(0.5, 3), (6, 3), (7.5, 5), (15.5, 5), (15.5, 14), (0.5, 14)]), darker(GOLD, 0.8))
    c.fill(polygon([(0.5, 14), (3, 7), (15.5, 7), (15.5, 14)]), GOLD)


def palette(c):  # 17 skins
    c.fill(minus(lambda x, y: ((x - 8) / 7.5) ** 2 + ((y - 8) / 6.5) ** 2 <= 1, disc(10.5, 11, 1.6)), BEIGE)
    for (x, y), colour in (((4.5, 6), RED), ((7.5, 4), BLUE), ((11, 4.8), GREEN), ((4.8, 10), GOLD)):
        c.fill(disc(x, y, 1.6), colour, None)


def coin(c):  # 18 pay
    c.fill(disc(8, 8, 7.5), GOLD)
    c.fill(ring(8, 8, 4.8, 5.8), darker(GOLD, 0.7), None)
    c.fill(rect(7, 4.5, 9, 11.5), darker(GOLD, 0.5), None)


def downloads(c):  # 19 downloads into the tray
    c.fill(union(rect(0.5, 8, 2.5, 15.5), rect(13.5, 8, 15.5, 15.5), rect(0.5, 13.5, 15.5, 15.5)), GREY, DARK)
    c.fill(union(rect(6, 0.5, 10, 6), polygon([(2.5, 6), (13.5, 6), (8, 12)])), GREEN)


PICTURES = [gear, house, envelope, exit_cross, close_plugin, info_bubble, lock, disk, arrows, hide,
            open_window, maximise, cascade, tile, magnifier, book, folder, palette, coin, downloads]
assert len(PICTURES) == COUNT


def puzzle(c):
    """The plugin icon: a blue puzzle piece."""
    body = rect(2, 4, 12, 14)
    c.fill(minus(union(body, disc(7, 3.2, 2.3), disc(13.3, 9, 2.3)), disc(2, 9, 2)), BLUE, NAVY)


# --- file formats -----------------------------------------------------------

def bgra_rows(pixels):
    """Bottom-up rows of blue, green, red, alpha bytes; clear pixels are 0."""
    out = []
    for row in reversed(pixels):
        for p in row:
            out.append(struct.pack("BBBB", p[2], p[1], p[0], 255) if p else b"\0\0\0\0")
    return b"".join(out)


def write_strip(path):
    strip = [[None] * (SIZE * COUNT) for _ in range(SIZE)]
    for i, draw in enumerate(PICTURES):
        c = Canvas(SIZE)
        draw(c)
        for y in range(SIZE):
            strip[y][i * SIZE:(i + 1) * SIZE] = c.pixels[y]
    width = SIZE * COUNT
    bits = bgra_rows(strip)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(bits), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, SIZE, 1, 32, 0, len(bits), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + bits)


def icon_image(size):
    c = Canvas(size)
    puzzle(c)
    xor = bgra_rows(c.pixels)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray(mask_row * size)
    for y, row in enumerate(reversed(c.pixels)):  # bottom-up, 1 = clear
        for x, p in enumerate(row):
            if p is None:
                mask[y * mask_row + x // 8] |= 0x80 >> (x % 8)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def write_icon(path):
    sizes = [16, 32]
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    write_strip(sys.argv[1])
    write_icon(sys.argv[2])
