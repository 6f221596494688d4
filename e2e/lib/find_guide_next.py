#!/usr/bin/env python3
"""Prints "x y", the centre of the guide card's Next/Done button in a PNG of the switcher panel.

The button is the accent-coloured text at the right end of the card's footer row, whose left end
holds the lit progress dots: the top-most band of rows with accent pixels both near the left and
near the right edge of the panel, and none in the middle (a highlighted row is accent across).
Usage: find_guide_next.py panel.png"""

import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    at, idat, width, height = 8, b"", 0, 0
    while at < len(data):
        (length,), kind = struct.unpack(">I", data[at:at + 4]), data[at + 4:at + 8]
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height = struct.unpack(">II", body[:8])
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = 1 + 3 * width
    return width, height, lambda x, y: raw[y * stride + 1 + 3 * x:y * stride + 4 + 3 * x]


def is_accent(rgb):
    r, g, b = rgb
    return b > 170 and b - r > 110 and 80 < g < 180


def main():
    width, height, pixel = read_png(sys.argv[1])
    left = range(0, width // 3)
    middle = range(width * 2 // 5, width * 3 // 5)
    right = range(width * 3 // 5, width)
    band = []
    for y in range(height):
        row_right = [x for x in right if is_accent(pixel(x, y))]
        hit = (row_right and any(is_accent(pixel(x, y)) for x in left)
               and not any(is_accent(pixel(x, y)) for x in middle))
        if hit:
            band.append((y, row_right))
        elif band:
            break
    if not band:
        sys.exit("no guide card button found")
    xs = [x for _, row in band for x in row]
    ys = [y for y, _ in band]
    print((min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2)


main()
