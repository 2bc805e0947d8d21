#!/usr/bin/env python3
# Gathers the panel bitmaps into a few PNG files for the page: those every caption set shares into
# art/atlas.png, those a set has of its own into art/own.png (Latin) or art/<set>/own.png, and their
# places into art/places.json ({"shared" or a set's name: {number: [x, y, width, height]}}), so the
# page asks for two bitmap files instead of dozens. Usage: make_atlas.py <Latin bmp dir> <art dir> [<set>=<bmp dir>]...
import json
import os
import sys

from bmp2png import bmp_pixels, png_bytes

SHEET_WIDTH = 512
# Clear pixels around each bitmap: a needle drawn turned and smoothed reads no neighbour.
PAD = 1


def read_set(directory):
    """The set's BMP files by number."""
    out = {}
    for name in sorted(os.listdir(directory)):
        if name.endswith(".bmp"):
            with open(os.path.join(directory, name), "rb") as f:
                out[int(name[:-4])] = f.read()
    return out


def write_sheet(directory, stem, bitmaps):
    """Packs {number: BMP bytes} into <stem>.png; returns their places."""
    pixels = sorted(((n, bmp_pixels(data)) for n, data in bitmaps.items()), key=lambda b: (-b[1][1], b[0]))
    # Shelves of the bitmaps, tallest first, left to right, SHEET_WIDTH wide.
    places, x, y, shelf = {}, 0, 0, 0
    for n, (w, h, rows) in pixels:
        if w + PAD > SHEET_WIDTH:
            raise ValueError(f"bitmap {n} is wider than a sheet")
        if x + w + PAD > SHEET_WIDTH:
            x, y, shelf = 0, y + shelf, 0
        places[n] = [x + PAD, y + PAD, w, h]
        x, shelf = x + w + PAD, max(shelf, h + PAD)
    height = y + shelf + PAD
    canvas = [bytearray(3 * SHEET_WIDTH) for _ in range(height)]
    for n, (w, h, rows) in pixels:
        px, py = places[n][0], places[n][1]
        for r in range(h):
            canvas[py + r][3 * px:3 * (px + w)] = rows[r]
    os.makedirs(directory, exist_ok=True)
    with open(os.path.join(directory, stem + ".png"), "wb") as f:
        f.write(png_bytes(SHEET_WIDTH, height, [bytes(r) for r in canvas], clear_black=True))
    return {str(n): p for n, p in sorted(places.items())}


def main():
    latin_dir, art = sys.argv[1], sys.argv[2]
    sets = {"latin": read_set(latin_dir)}
    for arg in sys.argv[3:]:
        name, directory = arg.split("=", 1)
        sets[name] = read_set(directory)
    latin = sets["latin"]
    # Shared: the Latin bitmaps no other set has in a version of its own.
    shared = {n: data for n, data in latin.items() if all(s.get(n, data) == data for s in sets.values())}
    places = {"shared": write_sheet(art, "atlas", shared)}
    # Own: what a set has beyond the shared ones, Latin's where the set has no version of its own.
    for name, bitmaps in sets.items():
        own = {n: bitmaps.get(n, latin.get(n)) for n in (set(latin) | set(bitmaps)) - set(shared)}
        places[name] = write_sheet(art if name == "latin" else os.path.join(art, name), "own", own)
    with open(os.path.join(art, "places.json"), "w") as f:
        json.dump(places, f)
        f.write("\n")


if __name__ == "__main__":
    main()
