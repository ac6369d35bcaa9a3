#!/usr/bin/env python3
"""Writes the control's 16 x 15, 24-bit toolbox picture (bitmap resource 30000):
a small calendar page with a red title band, a grid of days and one day
marked, on the button-face grey that form designers treat as transparent."""
import struct
import sys

WIDTH, HEIGHT = 16, 15

GREY = (0xC0, 0xC0, 0xC0)
BORDER = (0x40, 0x40, 0x40)
RED = (0xD0, 0x20, 0x20)
WHITE = (0xFF, 0xFF, 0xFF)
LINE = (0x80, 0x80, 0xC0)
MARK = (0xC0, 0xC0, 0xFF)


def pixel(x, y):
    """Colour (r, g, b) of the pixel at (x, y), y counted from the top."""
    if not (1 <= x <= 14 and 1 <= y <= 13):
        return GREY
    if x in (1, 14) or y in (1, 13):
        return BORDER
    if y <= 4:
        return RED
    # Three rows of three day cells between navy lines; the middle day marked.
    if x in (5, 9) or y in (7, 10):
        return LINE
    if 6 <= x <= 8 and 8 <= y <= 9:
        return MARK
    return WHITE


def bitmap():
    rows = []
    for y in reversed(range(HEIGHT)):  # bottom-up
        row = b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(WIDTH)))
        row += b"\0" * ((4 - len(row) % 4) % 4)
        rows.append(row)
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(bitmap())
