#!/usr/bin/env python3
"""Writes the GIF pictures of the splash tests into this folder.

Run it after changing a picture; the pictures are kept in the repository so
that a build needs no Python. Output is byte-for-byte reproducible.

Every frame is stored with 8-bit LZW codes that never grow (a clear code every
100 pixels), so the encoder stays a few lines long.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Palette indices used by the pictures.
BLACK, RED, GREEN, BLUE, WHITE, YELLOW, HOLE = 0, 1, 2, 3, 4, 5, 6
PALETTE = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255),
           (255, 255, 255), (255, 255, 0), (0, 128, 128)]


def lzw(pixels):
    codes = bytearray()
    for at in range(0, len(pixels), 100):
        codes.append(128)                       # clear code
        codes.extend(pixels[at:at + 100])
    codes.append(129)                           # end of information
    blocks = bytearray([7])                     # minimum code size: 7 bits, codes of 8
    for at in range(0, len(codes), 255):
        chunk = codes[at:at + 255]
        blocks.append(len(chunk))
        blocks.extend(chunk)
    blocks.append(0)
    return bytes(blocks)


def gif(width, height, frames, loop=True, background=BLACK):
    """frames: list of (pixels, delay or None, disposal, transparent index or None)."""
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0xF6, background, 0)   # 128-entry global table
    table = PALETTE + [(0, 0, 0)] * (128 - len(PALETTE))
    for r, g, b in table:
        out += bytes([r, g, b])
    if loop:
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for pixels, delay, disposal, transparent in frames:
        if delay is not None:
            flags = (disposal << 2) | (1 if transparent is not None else 0)
            out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, flags, delay, transparent or 0, 0)
        out += struct.pack("<BHHHHB", 0x2C, 0, 0, width, height, 0)
        out += lzw(pixels)
    out += b"\x3B"
    return bytes(out)


def filled(width, height, colour, border=0, left=None):
    """A frame of one colour, with a black border and optionally another left half."""
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            if x < border or y < border or x >= width - border or y >= height - border:
                pixels.append(BLACK)
            elif left is not None and x < width // 2:
                pixels.append(left)
            else:
                pixels.append(colour)
    return bytes(pixels)


def main():
    pictures = {
        # Three frames of 10, 20 and 30 hundredths, solid colours inside a black border.
        "three.gif": gif(60, 40, [(filled(60, 40, c, border=4), d, 1, None)
                                  for c, d in ((RED, 10), (GREEN, 20), (BLUE, 30))]),
        # One frame only.
        "single.gif": gif(30, 20, [(filled(30, 20, YELLOW), 50, 1, None)], loop=False),
        # Three frames without any graphic control extension: no delays at all.
        "nodelay.gif": gif(20, 20, [(filled(20, 20, c), None, 0, None)
                                    for c in (RED, GREEN, BLUE)]),
        # Frame 1 leaves its left half transparent: what shows there must be the
        # window's own background, not frame 0. Frame 0 is disposed of to the
        # picture's background, which is the transparent colour too.
        "holes.gif": gif(40, 20, [(filled(40, 20, RED), 10, 2, HOLE),
                                  (filled(40, 20, GREEN, left=HOLE), 10, 2, HOLE)], background=HOLE),
        # Two frames of five seconds each.
        "slow.gif": gif(20, 20, [(filled(20, 20, c), 500, 1, None) for c in (RED, GREEN)]),
        # Not a picture at all, and nothing at all.
        "broken.gif": b"This is not a GIF picture.",
        "empty.gif": b"",
    }
    for name, data in pictures.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
