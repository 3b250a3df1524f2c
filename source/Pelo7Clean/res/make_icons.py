#!/usr/bin/env python3
"""Draws the program icon (32x32, 16 colours) in its two language variants.

    python3 make_icons.py        # writes Pelo7Clean_en.ico and Pelo7Clean_ja.ico here

The picture: a sheet of setup notes being swept off by a broom. The variants
differ only in the colour of the notes' lines and the corner badge, so that
both languages can be told apart in a build that carries both.
"""
import os
import struct

# The standard 16-colour palette (as the icon stores it: B, G, R, 0).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)
CLEAR = None
SIZE = 32


def draw(line_colour, badge_colour):
    px = [[CLEAR] * SIZE for _ in range(SIZE)]

    def put(x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            px[y][x] = c

    # The sheet with a folded top-right corner.
    left, top, right, bottom, fold = 4, 2, 21, 27, 5
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x - (right - fold) > y - top:
                continue                       # cut-off corner
            edge = x in (left, right) or y in (top, bottom) or x - (right - fold) == y - top
            put(x, y, BLACK if edge else WHITE)
    for y in range(top, top + fold + 1):       # the fold, under the cut corner
        for x in range(right - fold, right + 1):
            d = x - (right - fold)
            if d <= y - top:
                edge = d in (0, y - top) or y == top + fold
                put(x, y, BLACK if edge else SILVER)

    # Lines of notes, shorter towards the bottom where the broom has been.
    for n, y in enumerate(range(top + 8, bottom - 2, 3)):
        for x in range(left + 3, right - 2 - 2 * n):
            put(x, y, line_colour)

    # The broom: a handle from the top right down to a head of bristles.
    for t in range(17):
        x, y = 29 - t // 2, 3 + t
        put(x, y, MAROON)
        put(x + 1, y, OLIVE)
    for y in range(20, 23):                    # binding
        for x in range(19 + (22 - y), 26 - (y - 20)):
            put(x, y, MAROON)
    for y in range(23, 30):                    # bristles fanning out
        spread = (y - 23) // 2
        for x in range(18 - spread, 26 + spread // 2):
            put(x, y, YELLOW if (x + y) % 3 else OLIVE)

    # Swept-off dust and the language badge in the bottom-left corner.
    for x, y in ((14, 29), (12, 30), (10, 29), (15, 31)):
        put(x, y, GRAY)
    for y in range(24, 31):
        for x in range(0, 7):
            if (x - 3) ** 2 + (y - 27) ** 2 <= 10:
                put(x, y, badge_colour)
    for x, y in ((1, 27), (2, 27), (3, 27), (4, 27), (5, 27)):
        put(x, y, WHITE)
    return px


def ico_bytes(px):
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(SIZE)):            # bitmaps are stored bottom-up
        row = px[y]
        for x in range(0, SIZE, 2):
            hi = row[x] if row[x] is not CLEAR else BLACK
            lo = row[x + 1] if row[x + 1] is not CLEAR else BLACK
            xor.append(hi << 4 | lo)
        bits = 0
        for x in range(SIZE):
            bits = bits << 1 | (row[x] is CLEAR)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0,
                         len(xor) + len(mask), 0, 0, 16, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    image = header + colours + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, lines, badge in (("Pelo7Clean_en.ico", NAVY, BLUE),
                               ("Pelo7Clean_ja.ico", MAROON, RED)):
        with open(os.path.join(here, name), "wb") as f:
            f.write(ico_bytes(draw(lines, badge)))


if __name__ == "__main__":
    main()
