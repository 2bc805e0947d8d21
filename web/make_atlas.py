#!/usr/bin/env python3
# Gathers the panel bitmaps every caption set shares into one PNG (atlas.png, with atlas.json giving
# each number's [x, y, width, height]), so the page asks for one file instead of dozens; the bitmaps
# a set has of its own stay single files, which the Latin set's index.json then lists. Usage: make_atlas.py <Latin bmp dir> <art dir> <other set bmp dir>...
import json
import os
import sys

from bmp2png import bmp_pixels, png_bytes

ATLAS_WIDTH = 512
# Clear pixels around each bitmap: a needle drawn turned and smoothed reads no neighbour's.
PAD = 1


def shared(latin, others):
    """Numbers of the Latin bitmaps that no other set has in its own version."""
    ids = []
    for name in sorted(os.listdir(latin)):
        if not name.endswith(".bmp"):
            continue
        with open(os.path.join(latin, name), "rb") as f:
            data = f.read()
        same = True
        for other in others:
            path = os.path.join(other, name)
            if os.path.exists(path):
                with open(path, "rb") as f:
                    same = same and f.read() == data
        if same:
            ids.append((int(name[:-4]), bmp_pixels(data)))
    return ids


def main():
    latin, art, others = sys.argv[1], sys.argv[2], sys.argv[3:]
    bitmaps = shared(latin, others)
    # Shelves of the bitmaps, tallest first, left to right, ATLAS_WIDTH wide.
    bitmaps.sort(key=lambda b: (-b[1][1], b[0]))
    places, x, y, shelf = {}, 0, 0, 0
    for n, (w, h, rows) in bitmaps:
        if w + PAD > ATLAS_WIDTH:
            raise ValueError(f"bitmap {n} is wider than the atlas")
        if x + w + PAD > ATLAS_WIDTH:
            x, y, shelf = 0, y + shelf, 0
        places[n] = [x + PAD, y + PAD, w, h]
        x, shelf = x + w + PAD, max(shelf, h + PAD)
    height = y + shelf + PAD
    canvas = [bytearray(3 * ATLAS_WIDTH) for _ in range(height)]
    for n, (w, h, rows) in bitmaps:
        px, py = places[n][0], places[n][1]
        for r in range(h):
            canvas[py + r][3 * px:3 * (px + w)] = rows[r]
    with open(os.path.join(art, "atlas.png"), "wb") as f:
        f.write(png_bytes(ATLAS_WIDTH, height, [bytes(r) for r in canvas], clear_black=True))
    with open(os.path.join(art, "atlas.json"), "w") as f:
        json.dump({str(n): p for n, p in sorted(places.items())}, f)
        f.write("\n")
    # The single files of what the atlas holds are not part of the site; the Latin set's list
    # (index.json) keeps the bitmaps it has as files of its own, as another set's list does.
    for n in places:
        path = os.path.join(art, f"{n}.png")
        if os.path.exists(path):
            os.remove(path)
    index = os.path.join(art, "index.json")
    with open(index) as f:
        own = [n for n in json.load(f) if n not in places]
    with open(index, "w") as f:
        json.dump(own, f)
        f.write("\n")


if __name__ == "__main__":
    main()
