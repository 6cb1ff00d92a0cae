#!/usr/bin/env python3
"""Draws the wizard pages' default picture, Wizard.bmp (120 x 260, 24-bit): a dusk sky over
two hills with a telephone pole and its wire. Run it after changing the picture."""
import math
import os
import struct

WIDTH, HEIGHT = 120, 260


def colour_at(x, y):
    # Sky: deep blue at the top to warm orange at the horizon.
    horizon = 170
    if y < horizon:
        t = y / horizon
        sky = (int(20 + 220 * t * t), int(40 + 120 * t), int(120 + 40 * (1 - t)))
        sun = math.hypot(x - 84, y - 150)
        if sun < 16:
            return (255, 230, 150)
        return sky
    far = horizon + 12 * math.sin(x / 19.0)
    if y < far:
        return (60, 90, 120)
    near = 200 + 14 * math.cos(x / 23.0 + 1)
    if y < near:
        return (40, 110, 70)
    return (28, 80 + (y - 200) // 4, 48)


def draw():
    rows = []
    pole_x = 30
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            r, g, b = colour_at(x, y)
            if pole_x <= x < pole_x + 3 and 60 <= y < 215:
                r, g, b = (50, 35, 25)
            if 70 <= y < 73 and pole_x - 10 <= x < pole_x + 13:
                r, g, b = (50, 35, 25)
            sag = 71 + int(18 * math.sin(math.pi * min(max((x - pole_x) / (WIDTH - pole_x), 0), 1)))
            if x > pole_x and y == sag:
                r, g, b = (20, 20, 20)
            row.append((r, g, b))
        rows.append(row)
    return rows


def write_bmp(path, rows):
    stride = (WIDTH * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        pixels += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


if __name__ == "__main__":
    write_bmp(os.path.join(os.path.dirname(os.path.abspath(__file__)), "Wizard.bmp"), draw())
