#!/usr/bin/env python3
"""Writes the lighting page's hue bar (185 x 24 PNG).

Column q (0..184) has exactly the colour the lighting page computes for a
marker at q, so what the user sees under the marker is what gets sent:
sector = q // 30, f = (q - 30 * sector) * 255 // 30, then
  0: (255, f, 0)   1: (255 - f, 255, 0)   2: (0, 255, f)
  3: (0, 255 - f, 255)   4: (f, 0, 255)   5: (255, 0, 255 - f)
  6: white above 182, else red.
"""
import struct
import sys
import zlib

WIDTH, HEIGHT = 185, 24


def hue(q):
    sector = q // 30
    f = (q - 30 * sector) * 255 // 30
    table = {
        0: (255, f, 0),
        1: (255 - f, 255, 0),
        2: (0, 255, f),
        3: (0, 255 - f, 255),
        4: (f, 0, 255),
        5: (255, 0, 255 - f),
    }
    if sector in table:
        return table[sector]
    return (255, 255, 255) if q > 182 else (255, 0, 0)


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: huebar.py OUTPUT.png")
    row = []
    for q in range(WIDTH):
        row.extend(hue(q))
    with open(sys.argv[1], "wb") as out:
        out.write(png(WIDTH, HEIGHT, [row] * HEIGHT))


if __name__ == "__main__":
    main()
