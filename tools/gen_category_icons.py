#!/usr/bin/env python3
"""Draws the category pictures of the shipped engine folder: data/engines/icon.bmp.

The engine index gives each category a picture number n; the program shows the n-th tile, counted
from 1, of a vertical strip of 17 x 17 pixel tiles in icon.bmp (the tile size is the bitmap's width).
The tiles are drawn here from simple shapes and written as an uncompressed 24-bit BMP.

    python3 tools/gen_category_icons.py [--output FILE]
"""

import argparse
import math
import os
import struct

TILE = 17
WHITE = (255, 255, 255)


def blank():
    return [[WHITE] * TILE for _ in range(TILE)]


def page_tile():
    """A page with a folded corner and lines of text: results read from the disk."""
    tile = blank()
    border, paper, fold, text = (96, 96, 96), (250, 250, 240), (200, 200, 190), (70, 110, 190)
    left, right, top, bottom, corner = 3, 13, 1, 15, 4
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x - left + (top + corner - y) > right - left:  # cut off the top-right corner
                continue
            edge = x in (left, right) or y in (top, bottom) or x - left + (top + corner - y) == right - left
            tile[y][x] = border if edge else paper
    for y in range(top + 1, top + corner):
        for x in range(right - corner + 1, right):
            if x - (right - corner) < y - top + 1:
                tile[y][x] = fold
    for y in (6, 8, 10, 12):
        for x in range(left + 2, right - 1 - (3 if y == 12 else 0)):
            tile[y][x] = text
    return tile


def globe_tile(sea, line, rim):
    """A globe with its equator, two parallels and three meridians: engines on the web."""
    tile = blank()
    centre, radius = 8.0, 7.5
    for y in range(TILE):
        for x in range(TILE):
            dx, dy = x - centre, y - centre
            distance = math.hypot(dx, dy)
            if distance > radius:
                continue
            if distance > radius - 1.0:
                tile[y][x] = rim
                continue
            half_width = 3.6 * math.sqrt(max(0.0, 1.0 - (dy / radius) ** 2))
            on_meridian = abs(dx) < 0.5 or abs(abs(dx) - half_width) < 0.55
            on_parallel = abs(dy) < 0.5 or abs(abs(dy) - 4.0) < 0.5
            tile[y][x] = line if on_meridian or on_parallel else sea
    return tile


TILES = [
    page_tile(),                                             # 1 Offline demo
    globe_tile((58, 120, 200), (200, 225, 250), (20, 60, 120)),   # 2 Web (English)
    globe_tile((200, 60, 50), (250, 215, 90), (120, 25, 20)),     # 3 Web (Chinese)
    globe_tile((40, 150, 120), (210, 245, 225), (15, 80, 60)),    # 4 Web (Korean)
]


def bmp_bytes(rows):
    """rows: top-down list of rows of (r, g, b); an uncompressed bottom-up 24-bit BMP."""
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return file_header + info_header + bytes(pixels)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--output", default=os.path.join(here, "..", "data", "engines", "icon.bmp"))
    output = parser.parse_args().output
    strip = [row for tile in TILES for row in tile]
    with open(output, "wb") as out:
        out.write(bmp_bytes(strip))


if __name__ == "__main__":
    main()
