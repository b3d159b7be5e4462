#!/usr/bin/env python3
"""Draws the wizard's banner picture (a quill over a blue gradient) and
writes it as a 24-bit BMP: make-banner.py OUT.bmp"""
import math
import struct
import sys

W, H = 210, 406
SS = 3  # supersampling per axis


def lerp(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


TOP, BOTTOM = (18, 52, 110), (34, 128, 176)


def background(x, y):
    c = lerp(TOP, BOTTOM, y / H)
    # a soft light from the upper left
    d = math.hypot(x - W * 0.15, y - H * 0.1) / H
    glow = max(0.0, 0.35 - d) * 0.9
    c = lerp(c, (255, 255, 255), glow)
    # faint rings, like ripples on a mere
    r = math.hypot(x - W * 0.5, y - H * 0.86)
    ring = 0.06 * max(0.0, math.cos(r / 9.0)) * max(0.0, 1 - r / (W * 0.9))
    return lerp(c, (255, 255, 255), ring)


# The quill: an axis from the nib (lower left) to the tip (upper right).
NIB = (W * 0.30, H * 0.80)
TIP = (W * 0.82, H * 0.12)
AX = (TIP[0] - NIB[0], TIP[1] - NIB[1])
LEN = math.hypot(*AX)
UX, UY = AX[0] / LEN, AX[1] / LEN


def quill(x, y):
    """Coverage (0..1) and shade of the feather at a point."""
    dx, dy = x - NIB[0], y - NIB[1]
    u = (dx * UX + dy * UY) / LEN          # 0 at the nib, 1 at the tip
    v = (-dx * UY + dy * UX)               # across the axis, in pixels
    if u < -0.02 or u > 1.0:
        return 0.0, 0.0
    spine = 10.0 * math.sin(math.pi * u)   # the shaft bends gently
    off = v - spine
    if u < 0.22:                            # bare shaft and nib
        half = 1.2 + 1.5 * u / 0.22
        return (1.0 if abs(off) < half else 0.0), 0.0
    t = (u - 0.22) / 0.78
    left = 26.0 * math.sin(math.pi * t) ** 0.8 * (1 - 0.25 * t)
    right = 18.0 * math.sin(math.pi * t) ** 0.9
    half = left if off < 0 else right
    if abs(off) > half:
        return 0.0, 0.0
    if abs(off) < 1.3:
        return 1.0, 0.0                    # the shaft
    # barbs: lines slanting back towards the nib
    barb = math.sin((u * LEN) * 0.9 + abs(off) * 0.55)
    edge = abs(off) / half
    shade = 0.10 + 0.12 * (barb > 0.6) + 0.25 * edge ** 3
    return 1.0, shade


def pixel(px, py):
    acc = [0.0, 0.0, 0.0]
    for sy in range(SS):
        for sx in range(SS):
            x = px + (sx + 0.5) / SS
            y = py + (sy + 0.5) / SS
            c = background(x, y)
            cov, shade = quill(x, y)
            if cov:
                feather = lerp((250, 252, 255), (150, 190, 225), shade)
                c = lerp(c, feather, 0.92 * cov)
            for i in range(3):
                acc[i] += c[i]
    n = SS * SS
    return tuple(max(0, min(255, int(round(a / n)))) for a in acc)


def main(out):
    row = (W * 3 + 3) & ~3
    data = bytearray()
    for py in range(H - 1, -1, -1):  # bottom-up rows
        line = bytearray()
        for px in range(W):
            r, g, b = pixel(px, py)
            line += bytes((b, g, r))
        line += b"\0" * (row - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    with open(out, "wb") as f:
        f.write(header + info + data)


if __name__ == "__main__":
    main(sys.argv[1])
