#!/usr/bin/env python3
"""Converts the screen image Xvfb keeps with -fbdir (XWD, 24/32 bits per pixel, ZPixmap) to PNG.

Usage: xwd_crop_to_png.py Xvfb_screen0 out.png [x y width height]
Only the standard library: the test desktop needs no image tools.
"""
import struct
import sys
import zlib


def read_xwd(path):
    with open(path, "rb") as f:
        data = f.read()
    header = struct.unpack(">25I", data[:100])
    header_size, _, _, depth, width, height = header[0:6]
    byte_order, bits_per_pixel, bytes_per_line = header[7], header[11], header[12]
    ncolors = header[19]
    red_mask, green_mask, blue_mask = header[14], header[15], header[16]
    if bits_per_pixel != 32:
        raise SystemExit(f"unsupported XWD: {bits_per_pixel} bits per pixel (depth {depth})")
    start = header_size + ncolors * 12
    return data[start:], width, height, bytes_per_line, byte_order, (red_mask, green_mask, blue_mask)


def to_png(pixels, width, height, stride, byte_order, masks, box):
    x0, y0, w, h = box
    fmt = "<I" if byte_order == 0 else ">I"
    shifts = [(m & -m).bit_length() - 1 for m in masks]
    rows = []
    for y in range(y0, y0 + h):
        line = pixels[y * stride + x0 * 4 : y * stride + (x0 + w) * 4]
        row = bytearray(b"\x00")
        for (value,) in struct.iter_unpack(fmt, line):
            row += bytes((value & m) >> s for m, s in zip(masks, shifts))
        rows.append(bytes(row))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b""))


def main():
    pixels, width, height, stride, order, masks = read_xwd(sys.argv[1])
    box = (0, 0, width, height)
    if len(sys.argv) == 7:
        x, y, w, h = (int(v) for v in sys.argv[3:7])
        x, y = max(0, x), max(0, y)
        box = (x, y, min(w, width - x), min(h, height - y))
    with open(sys.argv[2], "wb") as out:
        out.write(to_png(pixels, width, height, stride, order, masks, box))


if __name__ == "__main__":
    main()
