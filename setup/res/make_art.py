#!/usr/bin/env python3
"""Draws setup's icons and its entry cursor. Reproducible: the same files every run.

Usage: make_art.py OUT_FOLDER
Writes app.ico (a disc), entry1.ico .. entry6.ico (a coloured disc with the
entry's digit), browse.ico (a folder), exit.ico (a red cross), each one 32x32
image at 32 bits with alpha, and entry.cur (a 32x32 two-colour pointing hand).
"""
import math
import os
import struct
import sys

SIZE = 32

# 3x5 digits, one string per row.
DIGITS = {
    1: ["010", "110", "010", "010", "111"],
    2: ["111", "001", "111", "100", "111"],
    3: ["111", "001", "011", "001", "111"],
    4: ["101", "101", "111", "001", "001"],
    5: ["111", "100", "111", "001", "111"],
    6: ["111", "100", "111", "101", "111"],
}


def disc(colour, digit=None):
    def pixel(x, y):
        c = (SIZE - 1) / 2.0
        r = math.hypot(x - c, y - c) / (SIZE / 2.0)
        if r > 0.95:
            return None
        if digit is not None:
            dx, dy = (x - 10) // 4, (y - 6) // 4
            if 0 <= dx < 3 and 0 <= dy < 5 and (x - 10) >= 0 and (y - 6) >= 0 and DIGITS[digit][dy][dx] == "1":
                return (255, 255, 255)
        if r > 0.85:
            return tuple(max(0, v - 60) for v in colour)
        shade = 1.0 - 0.35 * r
        return tuple(int(v * shade) for v in colour)
    return pixel


def app_disc(x, y):
    c = (SIZE - 1) / 2.0
    r = math.hypot(x - c, y - c) / (SIZE / 2.0)
    if r > 0.95 or r < 0.15:
        return None
    if r < 0.25 or r > 0.85:
        return (110, 120, 140)
    return (200, 205, 225)


def folder(x, y):
    if 4 <= x <= 13 and 6 <= y <= 9:
        return (200, 150, 40)
    if 3 <= x <= 28 and 9 <= y <= 26:
        return (240, 190, 60) if y > 10 else (200, 150, 40)
    return None


def cross(x, y):
    d1, d2 = abs(x - y), abs(x + y - (SIZE - 1))
    if 4 <= x <= 27 and 4 <= y <= 27 and (d1 <= 3 or d2 <= 3):
        return (210, 40, 40)
    return None


def icon(pixel):
    rows, mask = bytearray(), bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        bits = 0
        for x in range(SIZE):
            p = pixel(x, y)
            if p is None:
                rows += bytes((0, 0, 0, 0))
                bits = bits << 1 | 1
            else:
                rows += bytes((p[2], p[1], p[0], 255))
                bits <<= 1
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = header + rows + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22) + image


HAND = [
    "....XX..........",
    "...X..X.........",
    "...X..X.........",
    "...X..X.........",
    "...X..XXX.......",
    "...X..X..XXX....",
    "XX.X..X..X..XX..",
    "X..X..X..X..X.X.",
    "X..X.........X.X",
    ".X.............X",
    ".X.............X",
    "..X............X",
    "..X...........X.",
    "...X..........X.",
    "....X........X..",
    ".....XXXXXXXX...",
]


def cursor():
    # Two-colour cursor: XOR image then AND mask, 1 bit each, bottom-up.
    xor, andmask = bytearray(), bytearray()
    inside = [[False] * 16 for _ in range(16)]
    for y, row in enumerate(HAND):  # fill between the outline's ends
        xs = [i for i, ch in enumerate(row) if ch == "X"]
        if xs:
            for x in range(xs[0], xs[-1] + 1):
                inside[y][x] = True
    for y in range(SIZE - 1, -1, -1):
        xbits = abits = 0
        for x in range(SIZE):
            hy, hx = y, x
            outline = hy < 16 and hx < 16 and HAND[hy][hx] == "X"
            filled = hy < 16 and hx < 16 and inside[hy][hx]
            # outline black (and 0, xor 0); inside white (and 0, xor 1); else transparent (and 1)
            xbits = xbits << 1 | (1 if filled and not outline else 0)
            abits = abits << 1 | (0 if filled or outline else 1)
        xor += struct.pack(">I", xbits)
        andmask += struct.pack(">I", abits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(andmask), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = header + palette + xor + andmask
    hotspot = (4, 0)
    return struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, hotspot[0], hotspot[1],
                                                      len(image), 22) + image


def main():
    out = sys.argv[1]
    colours = [(40, 150, 60), (40, 100, 190), (190, 110, 30), (140, 60, 170), (30, 150, 160), (170, 50, 80)]
    files = {"app.ico": icon(app_disc), "browse.ico": icon(folder), "exit.ico": icon(cross), "entry.cur": cursor()}
    for n in range(1, 7):
        files["entry%d.ico" % n] = icon(disc(colours[n - 1], n))
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
