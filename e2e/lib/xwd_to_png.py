#!/usr/bin/env python3
"""Converts a 24- or 32-bit true-colour screen dump from `xwd` to PNG, with only the standard
library (the test desktops have no image tools).

    python3 xwd_to_png.py screen.xwd screen.png
"""
import struct
import sys
import zlib


def read_xwd(data):
    fields = struct.unpack(">25I", data[:100])
    header_size, _, _, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask, ncolors = fields[14], fields[15], fields[16], fields[19]
    if bits_per_pixel not in (24, 32) or depth not in (24, 32):
        raise ValueError(f"only true colour is handled, not {bits_per_pixel} bits per pixel")
    start = header_size + ncolors * 12
    size = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"
    shifts = [(mask, (mask & -mask).bit_length() - 1) for mask in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line: start + y * bytes_per_line + width * size]
        row = bytearray(b"\x00")  # PNG filter: none
        for x in range(0, len(line), size):
            value = int.from_bytes(line[x:x + size], order)
            row.extend((value & mask) >> shift for mask, shift in shifts)
        rows.append(bytes(row))
    return width, height, b"".join(rows)


def png_chunk(kind, payload):
    chunk = kind + payload
    return struct.pack(">I", len(payload)) + chunk + struct.pack(">I", zlib.crc32(chunk))


def write_png(path, width, height, raw):
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(png_chunk(b"IHDR", header))
        out.write(png_chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(png_chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: xwd_to_png.py IN.xwd OUT.png")
    with open(sys.argv[1], "rb") as source:
        width, height, raw = read_xwd(source.read())
    write_png(sys.argv[2], width, height, raw)


if __name__ == "__main__":
    main()
