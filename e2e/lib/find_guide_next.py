#!/usr/bin/env python3
"""Prints "x y", the centre of the guide card's Next/Done button in a PNG of the switcher panel.

The button is the accent-coloured text at the right end of the card's footer row, whose left end
holds the lit progress dots: the top-most band of rows with accent pixels both near the left and
near the right edge of the panel, and none in the middle (a highlighted row is accent across).
Usage: find_guide_next.py panel.png"""

import sys

from find_field import read_png


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
