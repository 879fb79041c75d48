#!/usr/bin/env python3
"""Draws ruv's icon (two text pages and an arrow on a blue tile) into PNG files.

Usage: tools/draw_icon.py OUTPUT_DIR
Writes ruv-16.png ... ruv-256.png.  Pure Python: shapes are tested per sample
and every pixel averages 4x4 samples, so edges are smooth at every size.
"""
import struct
import sys
import zlib
from pathlib import Path

SIZES = (16, 24, 32, 48, 64, 128, 256)
SAMPLES = 4


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                hit = not hit
        return hit
    return inside


def layers():
    tile = (38, 84, 150)
    yield rounded_rect(0.03, 0.03, 0.97, 0.97, 0.18), tile
    yield rounded_rect(0.13, 0.11, 0.57, 0.70, 0.03), (226, 233, 242)
    for y in (0.20, 0.29, 0.38, 0.47, 0.56):
        yield rounded_rect(0.19, y, 0.51, y + 0.045, 0.015), (110, 128, 160)
    yield polygon([(0.43, 0.29), (0.77, 0.29), (0.88, 0.40), (0.88, 0.89), (0.43, 0.89)]), (255, 255, 255)
    yield polygon([(0.77, 0.29), (0.77, 0.40), (0.88, 0.40)]), (196, 208, 226)
    for y in (0.47, 0.56, 0.65, 0.74):
        yield rounded_rect(0.50, y, 0.81, y + 0.045, 0.015), (205, 55, 45)
    arrow = (246, 160, 28)
    yield rounded_rect(0.08, 0.745, 0.30, 0.835, 0.02), arrow
    yield polygon([(0.27, 0.66), (0.41, 0.79), (0.27, 0.92)]), arrow


def draw(size):
    shapes = list(layers())
    rows = []
    for py in range(size):
        row = bytearray([0])  # filter: none
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / size
                    y = (py + (sy + 0.5) / SAMPLES) / size
                    colour = None
                    for inside, c in shapes:
                        if inside(x, y):
                            colour = c
                    if colour:
                        r, g, b, a = r + colour[0], g + colour[1], b + colour[2], a + 1
            n = SAMPLES * SAMPLES
            if a:
                row += bytes((r // a, g // a, b // a, 255 * a // n))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def png(size, pixels):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b""))


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for size in SIZES:
        (out / f"ruv-{size}.png").write_bytes(png(size, draw(size)))


if __name__ == "__main__":
    main()
