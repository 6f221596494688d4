#!/usr/bin/env python3
"""Counts the pixels of a PNG written by xwd2png.py, inside the rectangle X0 Y0 X1 Y1 (end
excluded), whose colour is the switcher's blue selection (blue over 100, above green above red).
Usage: pixel.py picture.png X0 Y0 X1 Y1"""

import sys

from find_field import read_png

width, height, pixel = read_png(sys.argv[1])
x0, y0, x1, y1 = (int(v) for v in sys.argv[2:6])
count = 0
for y in range(max(0, y0), min(height, y1)):
    for x in range(max(0, x0), min(width, x1)):
        r, g, b = pixel(x, y)
        if b > 100 and b > g > r:
            count += 1
print(count)
