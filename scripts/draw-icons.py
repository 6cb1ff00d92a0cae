#!/usr/bin/env python3
"""Draws the programs' icons (16x16 and 32x32, 32-bit with mask) as .ico files.

Run it after changing a picture; the .ico files it writes are kept with each program.
"""
import math
import os
import struct
import sys

TRANSPARENT = None


class Canvas:
    def __init__(self, size):
        self.size = size
        self.px = [[TRANSPARENT] * size for _ in range(size)]

    def scale(self, v):
        return v * self.size / 32.0

    def put(self, x, y, colour):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        s = self.scale
        for y in range(int(s(y0)), int(math.ceil(s(y1)))):
            for x in range(int(s(x0)), int(math.ceil(s(x1)))):
                self.put(x, y, colour)

    def circle(self, cx, cy, r, colour, ring=0):
        s = self.scale
        for y in range(self.size):
            for x in range(self.size):
                d = math.hypot(x + 0.5 - s(cx), y + 0.5 - s(cy))
                if d <= s(r) and (ring == 0 or d >= s(r) - s(ring)):
                    self.put(x, y, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        s = self.scale
        steps = int(max(abs(s(x1) - s(x0)), abs(s(y1) - s(y0))) * 2) + 1
        for i in range(steps + 1):
            t = i / steps
            cx = x0 + (x1 - x0) * t
            cy = y0 + (y1 - y0) * t
            self.circle(cx, cy, width / 2.0, colour)

    def polygon(self, points, colour):
        s = self.scale
        pts = [(s(x), s(y)) for x, y in points]
        for y in range(self.size):
            for x in range(self.size):
                px, py = x + 0.5, y + 0.5
                inside = False
                j = len(pts) - 1
                for i in range(len(pts)):
                    xi, yi = pts[i]
                    xj, yj = pts[j]
                    if (yi > py) != (yj > py) and px < (xj - xi) * (py - yi) / (yj - yi) + xi:
                        inside = not inside
                    j = i
                if inside:
                    self.put(x, y, colour)


BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
LIGHT = (192, 192, 192)
GREEN = (0, 160, 0)
RED = (200, 0, 0)
BLUE = (0, 64, 200)
YELLOW = (240, 200, 0)
ORANGE = (240, 128, 0)


def modem(c, led):
    """A desk modem with one status light."""
    c.rect(3, 14, 29, 25, BLACK)
    c.rect(4, 15, 28, 24, LIGHT)
    c.rect(4, 21, 28, 24, GREY)
    c.rect(7, 17, 11, 19, led)
    c.rect(14, 17, 17, 19, GREEN)
    c.rect(6, 25, 9, 27, BLACK)
    c.rect(23, 25, 26, 27, BLACK)


def handset(c, colour):
    """A telephone handset lying across the picture."""
    c.line(8, 24, 24, 8, 5, BLACK)
    c.line(8, 24, 24, 8, 3, colour)
    c.circle(7, 25, 5, BLACK)
    c.circle(7, 25, 4, colour)
    c.circle(25, 7, 5, BLACK)
    c.circle(25, 7, 4, colour)


def monitor(c, screen):
    c.rect(4, 4, 28, 22, BLACK)
    c.rect(6, 6, 26, 20, screen)
    c.rect(13, 22, 19, 25, GREY)
    c.rect(8, 25, 24, 28, BLACK)
    c.rect(9, 26, 23, 27, LIGHT)


def arrow(c, colour, pointing_left):
    pts = [(4, 16), (14, 6), (14, 12), (28, 12), (28, 20), (14, 20), (14, 26)]
    if not pointing_left:
        pts = [(32 - x, y) for x, y in pts]
    c.polygon(pts, BLACK)
    inner = [(x + (1 if x < 16 else -1) * (1 if pointing_left else -1), y) for x, y in pts]
    c.polygon([(x * 0.9 + 1.6, y * 0.82 + 2.9) for x, y in pts], colour)


def star(c, colour):
    pts = []
    for i in range(10):
        r = 14 if i % 2 == 0 else 6
        a = math.pi / 2 + i * math.pi / 5
        pts.append((16 + r * math.cos(a), 16 - r * math.sin(a)))
    c.polygon(pts, BLACK)
    c.polygon([(16 + (x - 16) * 0.8, 16 + (y - 16) * 0.8) for x, y in pts], colour)


def gear(c):
    for i in range(8):
        a = i * math.pi / 4
        c.line(16, 16, 16 + 13 * math.cos(a), 16 + 13 * math.sin(a), 5, BLACK)
    c.circle(16, 16, 10, BLACK)
    c.circle(16, 16, 9, GREY)
    c.circle(16, 16, 4, WHITE)


def document(c):
    c.rect(6, 3, 26, 29, BLACK)
    c.rect(7, 4, 25, 28, WHITE)
    for y in (8, 12, 16, 20, 24):
        c.rect(10, y, 22, y + 1.5, BLUE)


def cross(c):
    c.line(7, 7, 25, 25, 6, RED)
    c.line(25, 7, 7, 25, 6, RED)


PICTURES = {
    # TelvaneHost
    "host/res/TelvaneHost.ico": lambda c: (modem(c, GREEN), handset(c, BLUE)),
    "host/res/Tray.ico": lambda c: modem(c, GREEN),
    "host/res/Status.ico": document,
    "host/res/Clients.ico": lambda c: monitor(c, BLUE),
    "host/res/Configuration.ico": gear,
    "host/res/KindReceived.ico": lambda c: arrow(c, GREEN, True),
    "host/res/KindSent.ico": lambda c: arrow(c, BLUE, False),
    "host/res/KindEvent.ico": lambda c: star(c, YELLOW),
    "host/res/ClientRow.ico": lambda c: monitor(c, GREEN),
    # TelvaneClient: the tray pictures tell the line state by the monitor's screen and a badge.
    "client/res/TelvaneClient.ico": lambda c: (monitor(c, BLUE), handset(c, GREEN)),
    "client/res/NoHost.ico": lambda c: (monitor(c, GREY), cross(c)),
    "client/res/OffLine.ico": lambda c: monitor(c, RED),
    "client/res/OnLine.ico": lambda c: monitor(c, YELLOW),
    "client/res/Connected.ico": lambda c: monitor(c, GREEN),
    "client/res/PhoneInUse.ico": lambda c: (monitor(c, GREY), handset(c, ORANGE)),
    "client/res/Status.ico": document,
    "client/res/Configuration.ico": gear,
    "client/res/KindReceived.ico": lambda c: arrow(c, GREEN, True),
    "client/res/KindSent.ico": lambda c: arrow(c, BLUE, False),
    "client/res/KindEvent.ico": lambda c: star(c, YELLOW),
}


def render(draw, size):
    c = Canvas(size)
    draw(c)
    return c


def ico_image(c):
    size = c.size
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            p = c.px[y][x]
            if p is None:
                xor += bytes((0, 0, 0, 0))
            else:
                xor += bytes((p[2], p[1], p[0], 255))
    row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(row_bytes)
        for x in range(size):
            if c.px[y][x] is None:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(xor) + bytes(mask)


def write_ico(path, draw):
    images = [ico_image(render(draw, s)) for s in (16, 32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(out)


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    wanted = sys.argv[1:]
    for rel, draw in PICTURES.items():
        if wanted and not any(rel.startswith(w) for w in wanted):
            continue
        write_ico(os.path.join(top, rel), draw)
        print("drew", rel)


if __name__ == "__main__":
    main()
