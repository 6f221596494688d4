#!/usr/bin/env python3
"""Prints the vertical centre of the Nth text field (1-based) in a screenshot of the preferences
window: the fields are the only stretches, down the column at x = 400, in the field colour (the
card darkened by a quarter). Usage: find_field.py window.png N"""

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
    # Only filter type 0 is written by xwd2png.py.
    return width, height, lambda x, y: raw[y * stride + 1 + 3 * x:y * stride + 4 + 3 * x]


def main():
    width, height, pixel = read_png(sys.argv[1])
    wanted = int(sys.argv[2])
    x = min(400, width - 1)
    runs, start = [], None
    for y in range(height):
        r, g, b = pixel(x, y)
        inside = 25 <= r <= 34 and 27 <= g <= 36 and 31 <= b <= 41
        if inside and start is None:
            start = y
        elif not inside and start is not None:
            if y - start >= 12:
                runs.append((start + y) // 2)
            start = None
    if len(runs) < wanted:
        sys.exit(f"find_field: {len(runs)} field(s) found, wanted {wanted}")
    print(runs[wanted - 1])


if __name__ == "__main__":
    main()
