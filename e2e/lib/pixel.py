#!/usr/bin/env python3
"""Counts the pixels of a PNG written by xwd2png.py, inside the rectangle X0 Y0 X1 Y1 (end
excluded), of one colour: "blue" (default), the switcher's selection (blue over 100, above green
above red), or "red", the hovered close button (red over 150, more than twice green and blue).
Usage: pixel.py picture.png X0 Y0 X1 Y1 [blue|red]"""

import sys

from find_field import read_png


def is_blue(r, g, b):
    return b > 100 and b > g > r


def is_red(r, g, b):
    return r > 150 and r > 2 * g and r > 2 * b


width, height, pixel = read_png(sys.argv[1])
x0, y0, x1, y1 = (int(v) for v in sys.argv[2:6])
wanted = is_red if len(sys.argv) > 6 and sys.argv[6] == "red" else is_blue
count = 0
for y in range(max(0, y0), min(height, y1)):
    for x in range(max(0, x0), min(width, x1)):
        if wanted(*pixel(x, y)):
            count += 1
print(count)
