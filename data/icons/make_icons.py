#!/usr/bin/env python3
"""Draws the program's icon (a rounded tile with a play triangle) as 32-bit RGBA PNGs at
the sizes the window and the desktop ask for. Run it again after changing the picture;
the PNGs are committed so that a build needs no image tools."""

import os
import struct
import zlib

SIZES = (48, 40, 32, 24, 16)
SUPERSAMPLE = 4  # samples per pixel edge, for smooth edges at 16 px


def inside_tile(x, y):
    # A square with rounded corners, 1/16 of margin, corner radius 1/5.
    margin, radius = 1 / 16, 1 / 5
    lo, hi = margin + radius, 1 - margin - radius
    cx, cy = min(max(x, lo), hi), min(max(y, lo), hi)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and margin <= x <= 1 - margin \
        and margin <= y <= 1 - margin


def inside_play(x, y):
    # A triangle pointing right, its centre of mass a little right of the tile's centre.
    ax, top, bottom, tip = 0.38, 0.28, 0.72, 0.74
    if x < ax or x > tip:
        return False
    half = (0.22) * (tip - x) / (tip - ax)
    return 0.5 - half <= y <= 0.5 + half and top <= y <= bottom


def pixel(x, y):
    """RGBA of one sample at (x, y) in the unit square."""
    if not inside_tile(x, y):
        return (0, 0, 0, 0)
    if inside_play(x, y):
        return (255, 255, 255, 255)
    # Teal at the top to deep blue at the bottom.
    t = y
    return (int(20 + 10 * t), int(170 - 90 * t), int(200 - 10 * t), 255)


def render(size):
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = bytearray([0])  # PNG filter: none
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    r, g, b, a = pixel((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (n * n)
            if acc[3]:
                row += bytes((round(acc[0] / acc[3]), round(acc[1] / acc[3]),
                              round(acc[2] / acc[3]), round(alpha)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def png(size, raw):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(
        b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for size in SIZES:
        folder = os.path.join(here, "hicolor", f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "miravue.png"), "wb") as out:
            out.write(png(size, render(size)))


if __name__ == "__main__":
    main()
