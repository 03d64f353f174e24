#!/usr/bin/env python3
"""Draws the KoraVale setup icon and writes resources/koravale.ico.

Seven 32-bit images (16 to 256 pixels), each stored PNG-compressed. Only
Python's standard library is used; the build uses the committed .ico, so
this runs only when the artwork changes: python3 resources/make-icon.py
"""
import math
import os
import struct
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
TOP = (0x1F, 0xB5, 0xC9)      # teal
BOTTOM = (0x3A, 0x2F, 0x9E)   # indigo


def coverage(x, y):
    """Colour and opacity of one point of the unit square (0..1, y down)."""
    # A rounded square with a margin of 4 %.
    m, r = 0.04, 0.2
    qx = max(abs(x - 0.5) - (0.5 - m - r), 0.0)
    qy = max(abs(y - 0.5) - (0.5 - m - r), 0.0)
    if math.hypot(qx, qy) > r:
        return None
    t = y
    colour = [TOP[i] * (1 - t) + BOTTOM[i] * t for i in range(3)]
    # A white play triangle, slightly right of centre.
    ax, ay, bx, by, cx, cy = 0.37, 0.27, 0.37, 0.73, 0.76, 0.5
    def side(px, py, qx_, qy_, rx, ry):
        return (px - rx) * (qy_ - ry) - (qx_ - rx) * (py - ry)
    d1, d2, d3 = side(x, y, ax, ay, bx, by), side(x, y, bx, by, cx, cy), side(x, y, cx, cy, ax, ay)
    if (d1 < 0) == (d2 < 0) == (d3 < 0):
        colour = [255, 255, 255]
    return colour


def image(size):
    samples = 4 if size <= 64 else 2
    rows = []
    for py in range(size):
        row = bytearray([0])  # filter: none
        for px in range(size):
            acc, hits = [0.0, 0.0, 0.0], 0
            for sy in range(samples):
                for sx in range(samples):
                    c = coverage((px + (sx + 0.5) / samples) / size, (py + (sy + 0.5) / samples) / size)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            alpha = round(255 * hits / samples ** 2)
            rgb = [round(a / hits) if hits else 0 for a in acc]
            row += bytes(rgb + [alpha])
        rows.append(bytes(row))
    return png(size, b"".join(rows))


def png(size, raw):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def ico(images):
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = 0 if size == 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


if __name__ == "__main__":
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "koravale.ico")
    with open(target, "wb") as f:
        f.write(ico([(size, image(size)) for size in SIZES]))
    print(target)
