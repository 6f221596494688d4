#!/usr/bin/env python3
"""Converts a TrueColor ZPixmap window dump (xwd -silent) on standard input to a PNG on standard
output, so the end-to-end tests can save screenshots without an image toolkit."""

import struct
import sys
import zlib


def main():
    data = sys.stdin.buffer.read()
    header = struct.unpack(">25I", data[:100])
    header_size, _, _, depth, width, height = header[:6]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    red_mask, green_mask, blue_mask = header[14], header[15], header[16]
    colors = header[19]
    if bits_per_pixel not in (24, 32) or depth < 24:
        sys.exit(f"xwd2png: only 24/32-bit TrueColor dumps are supported (depth {depth}, "
                 f"{bits_per_pixel} bits per pixel)")
    pixels = data[header_size + 12 * colors:]
    order = "little" if byte_order == 0 else "big"
    step = bits_per_pixel // 8

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    rs, gs, bs = shift(red_mask), shift(green_mask), shift(blue_mask)
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        line = pixels[y * bytes_per_line:y * bytes_per_line + step * width]
        for x in range(0, step * width, step):
            value = int.from_bytes(line[x:x + step], order)
            rows += bytes(((value >> rs) & 255, (value >> gs) & 255, (value >> bs) & 255))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 6))
    png += chunk(b"IEND", b"")
    sys.stdout.buffer.write(png)


if __name__ == "__main__":
    main()
