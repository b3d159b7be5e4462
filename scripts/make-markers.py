#!/usr/bin/env python3
"""Draws the backup run page's step markers (16x16, 8-bit palette, the first
pixel is the background the page swaps for the window colour) into
src/resources/markers/."""
import os, struct

SIZE = 16
OUT = os.path.join(os.path.dirname(__file__), "..", "src", "resources", "markers")
PALETTE = [(255, 255, 255), (160, 160, 160), (40, 150, 60), (31, 122, 197), (150, 190, 230), (210, 225, 240)]


def write_bmp(path, pixels):
    rows = b""
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        rows += bytes(pixels[y])
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE) + b"\0" * 4 * (256 - len(PALETTE))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 8, 0, len(rows), 2835, 2835, 256, 0)
    offset = 14 + len(header) + len(palette)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(rows), 0, 0, offset) + header + palette + rows)


def blank():
    return [[0] * SIZE for _ in range(SIZE)]


def neutral():
    p = blank()
    for y in range(SIZE):
        for x in range(SIZE):
            d = (x - 7.5) ** 2 + (y - 7.5) ** 2
            if 9 <= d <= 20:
                p[y][x] = 1
    return p


def tick():
    p = blank()
    points = [(3, 8), (4, 9), (5, 10), (6, 11), (7, 10), (8, 9), (9, 8), (10, 7), (11, 6), (12, 5), (13, 4)]
    for x, y in points:
        for dy in (0, 1, 2):
            p[y + dy - 1][x] = 2
    return p


def arrow(frame):
    p = blank()
    shades = [3, 4, 5]
    for part in range(3):  # three chevrons, the lit one moves along
        colour = shades[(part - frame) % 3]
        x0 = 2 + part * 4
        for i in range(4):
            for y in (7 - i, 8 + i):
                p[y][x0 + 3 - i] = colour
                p[y][x0 + 4 - i] = colour
    return p


os.makedirs(OUT, exist_ok=True)
write_bmp(os.path.join(OUT, "neutral.bmp"), neutral())
write_bmp(os.path.join(OUT, "tick.bmp"), tick())
for n in range(3):
    write_bmp(os.path.join(OUT, "arrow%d.bmp" % n), arrow(n))
