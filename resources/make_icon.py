#!/usr/bin/env python3
"""Writes the program's icon: one 32x32 32-bit image (a green card table with
a gold chip), in the icon file format windres embeds."""

import struct
import sys

SIZE = 32


def pixel(x, y):
    dx, dy = x - 15.5, y - 15.5
    if dx * dx + dy * dy <= 36:
        return (0x20, 0xB0, 0xE8, 0xFF)  # gold chip (blue, green, red, alpha)
    if 2 <= x < 30 and 5 <= y < 27:
        return (0x30, 0x80, 0x10, 0xFF)  # green table
    return (0, 0, 0, 0)


def icon_bytes():
    rows = b"".join(bytes(b for x in range(SIZE) for b in pixel(x, y)) for y in reversed(range(SIZE)))
    mask = bytes(SIZE * SIZE // 8)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = header + rows + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 22)
    return directory + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())
