#!/usr/bin/env python3
"""Demo banners of the banner grid, drawn here (standard library only).

    make_banners.py --out SITE [--names Solvika,DemoA,...]

Writes SITE/client/com/<name>.zip for "Solvika" and every plugin of the demo
catalogue (tools/demo/catalogue.txt), each holding <name>.bcom (a 24-bit
bitmap 120 pixels wide, squares of 10 by 10) and <name>.icom (the
description: version, default hint, hints and links of squares, text in
Windows-1251), and SITE/client/click.php.reply, the page a banner click
without a link of its own lands on.
"""

import argparse
import io
import os
import struct
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
CATALOGUE = os.path.join(HERE, "..", "catalogue.txt")

WIDTH = 120
SQUARE = 10
ROWS = 30
HEIGHT = ROWS * SQUARE
VERSION = 1  # what the server offers unless its "COM" section says otherwise

# 5 by 7 letters, one string of five characters per row.
FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "J": ["00111", "00010", "00010", "00010", "00010", "10010", "01100"],
    "K": ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "10001", "11001", "10101", "10011", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "X": ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "Z": ["11111", "00001", "00010", "00100", "01000", "10000", "11111"],
    " ": ["00000"] * 7,
}

# Tiles below the title: (first row, rows, colour, hint). Rows count from 0.
TILES = [
    (4, 6, (52, 120, 196), "Новости проекта\tЩёлкните, чтобы открыть"),
    (10, 6, (64, 160, 96), "Обновления\tНовые версии плагинов"),
    (16, 6, (214, 140, 40), "Форум пользователей\tВопросы и ответы"),
    (22, 8, (150, 80, 170), "Подписка\tДополнительные возможности"),
]
TITLE_ROWS = 4
TITLE_COLOUR = (24, 48, 96)


def catalogue_names():
    names = []
    with open(CATALOGUE, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) > 3 and fields[0] == "PLUGIN" and fields[3] != "-":
                names.append(fields[3])
    return names


def shade(colour, amount):
    return tuple(max(0, min(255, c + amount)) for c in colour)


def draw(name):
    pixels = [[(255, 255, 255)] * WIDTH for _ in range(HEIGHT)]

    def square(col, row, colour):
        for y in range(row * SQUARE, row * SQUARE + SQUARE):
            for x in range(col * SQUARE, col * SQUARE + SQUARE):
                edge = x % SQUARE in (0, SQUARE - 1) or y % SQUARE in (0, SQUARE - 1)
                pixels[y][x] = shade(colour, 28) if edge else colour

    for row in range(TITLE_ROWS):
        for col in range(12):
            square(col, row, shade(TITLE_COLOUR, row * 6))
    for first, rows, colour, _ in TILES:
        for row in range(first, first + rows):
            for col in range(12):
                # A soft diagonal so the squares can be told apart.
                square(col, row, shade(colour, ((col + row) % 4) * 8 - 12))

    text = name.upper()
    scale = 2 if len(text) * 6 * 2 <= WIDTH - 4 else 1
    width = len(text) * 6 * scale - scale
    left = max(2, (WIDTH - width) // 2)
    top = (TITLE_ROWS * SQUARE - 7 * scale) // 2
    for i, letter in enumerate(text):
        glyph = FONT.get(letter, FONT[" "])
        for gy, bits in enumerate(glyph):
            for gx, bit in enumerate(bits):
                if bit != "1":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        x = left + (i * 6 + gx) * scale + dx
                        y = top + gy * scale + dy
                        if 0 <= x < WIDTH and 0 <= y < HEIGHT:
                            pixels[y][x] = (255, 255, 255)
    return pixels


def bitmap(pixels):
    row_bytes = WIDTH * 3
    padding = (4 - row_bytes % 4) % 4
    body = io.BytesIO()
    for row in reversed(pixels):  # bottom-up
        for r, g, b in row:
            body.write(bytes((b, g, r)))
        body.write(b"\0" * padding)
    data = body.getvalue()
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data


def description(name, title):
    lines = ["version\t%d" % VERSION, "enabled\t1", "default\t%s" % title]
    for col in range(12):
        for row in range(TITLE_ROWS):
            lines.append("%d\t%s\tДемонстрационный баннер" % (row * 12 + col + 1, title))
    for first, rows, _, hint in TILES:
        for row in range(first, first + rows):
            for col in range(12):
                lines.append("%d\t%s" % (row * 12 + col + 1, hint))
    return ("\r\n".join(lines) + "\r\n").encode("cp1251")


def write(site, names):
    folder = os.path.join(site, "client", "com")
    os.makedirs(folder, exist_ok=True)
    for name in names:
        title = "Solvika" if name == "Solvika" else "Solvika: " + name
        archive = os.path.join(folder, name + ".zip")
        with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
            z.writestr(name + ".bcom", bitmap(draw(name)))
            z.writestr(name + ".icom", description(name, title))
    page = "<html><body><p>Solvika: demo banner click</p></body></html>\r\n"
    with open(os.path.join(site, "client", "click.php.reply"), "w", encoding="cp1251", newline="") as f:
        f.write(page)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, help="site folder")
    parser.add_argument("--names", help="comma-separated banner names (default: Solvika and the catalogue)")
    args = parser.parse_args()
    names = args.names.split(",") if args.names else ["Solvika"] + catalogue_names()
    write(args.out, names)


if __name__ == "__main__":
    main()
