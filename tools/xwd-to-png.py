#!/usr/bin/env python3
"""Converts a TrueColor XWD screen dump (as `xwd -root` writes it) to PNG,
with the standard library only.  Usage: xwd-to-png.py IN.xwd OUT.png"""
import struct
import sys
import zlib


def shift_of(mask):
    shift = 0
    while mask and not mask & 1:
        mask >>= 1
        shift += 1
    return shift


def main(source, target):
    data = open(source, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header_size, _, _, depth, width, height = fields[0:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask = fields[14], fields[15], fields[16]
    ncolors = fields[19]
    if bits_per_pixel not in (24, 32):
        sys.exit("xwd-to-png: only 24 or 32 bits per pixel are handled, got %d" % bits_per_pixel)
    size = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"
    offset = header_size + ncolors * 12
    shifts = [shift_of(m) for m in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(height):
        start = offset + y * bytes_per_line
        line = data[start:start + width * size]
        pixels = [int.from_bytes(line[i:i + size], order) for i in range(0, width * size, size)]
        row = bytearray(b"\0")
        for p in pixels:
            row += bytes(((p & m) >> s) & 0xFF for m, s in zip((red_mask, green_mask, blue_mask), shifts))
        rows.append(bytes(row))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b"")
    open(target, "wb").write(png)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
