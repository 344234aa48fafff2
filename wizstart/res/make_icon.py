#!/usr/bin/env python3
"""Draws the launcher's application icon: a disc with a green arrow.

Writes one .ico with three images: 48x48 at 32 bits (with alpha),
32x32 at 24 bits and 16x16 at 8 bits (palette). Reproducible: the same
file every run.  Usage: make_icon.py OUT.ico
"""
import math
import struct
import sys


def pixel(x, y, size):
    """Colour (r, g, b) and coverage 0..1 of the point at the pixel's centre."""
    c = (size - 1) / 2.0
    dx, dy = (x - c) / (size / 2.0), (y - c) / (size / 2.0)
    r = math.hypot(dx, dy)
    if r > 0.96:
        return (0, 0, 0), 0.0
    if r < 0.16:                      # the hole in the middle of the disc
        return (0, 0, 0), 0.0
    # arrow pointing right, across the disc
    if -0.55 < dx < 0.15 and abs(dy) < 0.16 or 0.05 <= dx < 0.62 and abs(dy) < 0.62 - dx:
        return (40, 170, 60), 1.0
    if r < 0.24 or r > 0.88:          # rims
        return (110, 120, 140), 1.0
    shade = int(170 + 70 * (1 - r) * (0.5 + 0.5 * math.sin(math.atan2(dy, dx) * 2)))
    return (shade, shade, min(255, shade + 20)), 1.0


def image(size, bits):
    rows_xor = []
    rows_and = []
    palette = []
    for y in range(size - 1, -1, -1):  # bottom-up
        row = bytearray()
        mask_bits = []
        for x in range(size):
            (r, g, b), a = pixel(x, y, size)
            mask_bits.append(0 if a > 0.5 else 1)
            if a <= 0.5:
                r = g = b = 0
            if bits == 32:
                row += bytes((b, g, r, 255 if a > 0.5 else 0))
            elif bits == 24:
                row += bytes((b, g, r))
            else:
                q = (r & 0xE0, g & 0xE0, b & 0xC0)
                if q not in palette:
                    palette.append(q)
                row.append(palette.index(q))
        while len(row) % 4:
            row.append(0)
        rows_xor.append(bytes(row))
        mask = bytearray()
        for i in range(0, size, 8):
            byte = 0
            for bit in mask_bits[i:i + 8]:
                byte = (byte << 1) | bit
            byte <<= 8 - len(mask_bits[i:i + 8])
            mask.append(byte)
        while len(mask) % 4:
            mask.append(0)
        rows_and.append(bytes(mask))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0, 0, 0, 0,
                         256 if bits == 8 else 0, 0)
    colours = b''
    if bits == 8:
        palette += [(0, 0, 0)] * (256 - len(palette))
        colours = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + colours + b''.join(rows_xor) + b''.join(rows_and)


def main(out):
    specs = [(48, 32), (32, 24), (16, 8)]
    images = [image(s, b) for s, b in specs]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bits), img in zip(specs, images):
        data += struct.pack('<BBBBHHII', size, size, 0, 0, 1, bits, len(img), offset)
        offset += len(img)
    data += b''.join(images)
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main(sys.argv[1])
