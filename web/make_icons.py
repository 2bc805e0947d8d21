#!/usr/bin/env python3
# Build step of the trainer site: the installed trainer's icons, square PNG files of the given
# sizes showing a panel face on its dark ground. Usage: make_icons.py <face.bmp> <out dir> <size>...
import os
import sys

from bmp2png import bmp_pixels, png_bytes

GROUND = (0x22, 0x24, 0x26)
MARGIN = 0.06   # of the icon's side, around the face


def icon_rows(width, height, rows, size):
    """The face shrunk to fit the icon, each pixel the mean of the face pixels it covers."""
    scale = min(size * (1 - 2 * MARGIN) / width, size * (1 - 2 * MARGIN) / height, 1.0)
    w, h = max(1, round(width * scale)), max(1, round(height * scale))
    left, top = (size - w) // 2, (size - h) // 2
    out = [bytearray(bytes(GROUND) * size) for _ in range(size)]
    for y in range(h):
        y0, y1 = int(y / scale), max(int(y / scale) + 1, int((y + 1) / scale))
        for x in range(w):
            x0, x1 = int(x / scale), max(int(x / scale) + 1, int((x + 1) / scale))
            sums = [0, 0, 0]
            for sy in range(y0, min(y1, height)):
                row = rows[sy]
                for sx in range(x0, min(x1, width)):
                    for c in range(3):
                        sums[c] += row[3 * sx + c]
            n = (min(y1, height) - y0) * (min(x1, width) - x0)
            o = 3 * (left + x)
            out[top + y][o:o + 3] = bytes(s // n for s in sums)
    return [bytes(r) for r in out]


def main():
    face, dst, sizes = sys.argv[1], sys.argv[2], [int(s) for s in sys.argv[3:]]
    with open(face, "rb") as f:
        width, height, rows = bmp_pixels(f.read())
    os.makedirs(dst, exist_ok=True)
    for size in sizes:
        with open(os.path.join(dst, f"icon-{size}.png"), "wb") as f:
            f.write(png_bytes(size, size, icon_rows(width, height, rows, size)))


if __name__ == "__main__":
    main()
