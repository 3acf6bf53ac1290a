#!/usr/bin/env python3
"""Writes the program icon: one 64 x 64 image in 24-bit colour, a stack of focal planes with the
sharp one in the middle. Usage: make_icon.py OUTPUT.ico"""
import struct
import sys

SIZE = 64
BACKGROUND = (0, 0, 0)


def planes():
    """Pixels of the picture as rows of (r, g, b), top row first, plus an opacity mask."""
    pixels = [[BACKGROUND] * SIZE for _ in range(SIZE)]
    opaque = [[False] * SIZE for _ in range(SIZE)]

    def put(x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            pixels[y][x] = colour
            opaque[y][x] = True

    # Five planes seen from above at an angle: parallelograms, farthest first so nearer ones
    # cover them. The middle one is in focus: bright and crisp; the others fade with distance.
    colours = [(70, 110, 150), (90, 140, 190), (255, 190, 40), (90, 140, 190), (70, 110, 150)]
    edges = [(40, 70, 100), (50, 85, 120), (150, 90, 0), (50, 85, 120), (40, 70, 100)]
    for i, (fill, edge) in enumerate(zip(colours, edges)):
        top = 6 + i * 10
        for row in range(14):
            y = top + row
            shift = 14 - row
            left, right = 4 + shift, 46 + shift
            for x in range(left, right + 1):
                border = row in (0, 13) or x in (left, right)
                put(x, y, edge if border else fill)
    # The optical axis: a vertical arrow through the stack.
    red = (230, 40, 40)
    for y in range(2, 56):
        put(31, y, red)
        put(32, y, red)
    for k in range(7):  # the head, pointing down
        for x in range(31 - (6 - k), 33 + (6 - k)):
            put(x, 56 + k, red)
    return pixels, opaque


def ico(pixels, opaque):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):  # bottom-up
        for r, g, b in row:
            xor += bytes((b, g, r))
    mask = bytearray()
    for row in reversed(opaque):
        bits = 0
        for x, solid in enumerate(row):
            if not solid:
                bits |= 1 << (SIZE - 1 - x)
        mask += bits.to_bytes(SIZE // 8, "big")
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    return directory + entry + image


def main():
    pixels, opaque = planes()
    with open(sys.argv[1], "wb") as out:
        out.write(ico(pixels, opaque))


if __name__ == "__main__":
    main()
