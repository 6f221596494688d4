#!/usr/bin/env python3
"""Prints the colour "r g b" of one pixel of a PNG written by xwd2png.py.
Usage: pixel.py picture.png X Y"""

import sys

from find_field import read_png

width, height, pixel = read_png(sys.argv[1])
r, g, b = pixel(int(sys.argv[2]), int(sys.argv[3]))
print(r, g, b)
