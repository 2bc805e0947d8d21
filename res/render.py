#!/usr/bin/env python3
# Renders the panel artwork of one caption set (res/src/NNNN.svg into res/bmp/NNNN.bmp for the
# Latin set) at the sizes and bit depths of res/bitmaps.tsv; --preview DIR composes the panels.
"""SVG -> BMP for the gauge resources.

rsvg-convert draws each SVG, ImageMagick's convert decodes the PNG to raw RGBA, and this
script does the rest itself so that the result is exact: pure black only where a layer is
transparent, uncompressed BITMAPINFOHEADER files of 4, 8 or 24 bits per pixel, palettes
built by median cut.

Tools: librsvg2-bin (rsvg-convert), imagemagick, fonts-dejavu-core, fonts-dejavu-extra; for
the preview also fonts-dseg.
"""
import argparse
import os
import struct
import subprocess
import sys
import tempfile

from make_art import CAPTION_SETS

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERT = "/usr/bin/convert"  # the real ImageMagick binary, never a wrapper earlier in PATH
PANEL_RGB = (62, 64, 66)


def read_index(path=os.path.join(HERE, "bitmaps.tsv")):
    rows = []
    with open(path, encoding="utf-8") as fh:
        for ln in fh:
            if ln.startswith("#") or ln.startswith("id\t") or not ln.strip():
                continue
            bid, w, h, depth, transp, matte, what = ln.rstrip("\n").split("\t")
            rows.append(dict(id=int(bid), w=int(w), h=int(h), depth=int(depth), transparent=transp == "1",
                             matte=matte, what=what))
    return rows


def rasterise(svg, w, h, tmp):
    png = os.path.join(tmp, os.path.basename(svg) + ".png")
    subprocess.run(["rsvg-convert", "-w", str(w), "-h", str(h), "-f", "png", "-o", png, svg], check=True)
    raw = subprocess.run([CONVERT, png, "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
    if len(raw) != w * h * 4:
        raise SystemExit(f"{svg}: expected {w}x{h} RGBA, got {len(raw)} bytes")
    return raw


def matte_source(matte, w, h, done):
    """Per-pixel background for the anti-aliased edges: a colour or a region of a face."""
    if matte == "-":
        return lambda x, y: PANEL_RGB
    if matte.startswith("#"):
        c = tuple(int(matte[i:i + 2], 16) for i in (1, 3, 5))
        return lambda x, y: c
    bid, ox, oy = (int(v) for v in matte.split("+"))
    src_w, _, pixels = done[bid]
    return lambda x, y: pixels[(oy + y) * src_w + ox + x]


def flatten(raw, w, h, transparent, matte):
    """RGB pixels; None marks a transparent pixel."""
    out = []
    for y in range(h):
        for x in range(w):
            i = (y * w + x) * 4
            r, g, b, a = raw[i], raw[i + 1], raw[i + 2], raw[i + 3]
            if transparent and a < 128:
                out.append(None)
                continue
            if a < 255:
                mr, mg, mb = matte(x, y)
                r = (r * a + mr * (255 - a) + 127) // 255
                g = (g * a + mg * (255 - a) + 127) // 255
                b = (b * a + mb * (255 - a) + 127) // 255
            if r + g + b < 12:
                r = g = b = 8  # a drawn pixel never turns into the transparent colour
            out.append((r, g, b))
    return out


def median_cut(pixels, n):
    """Palette of at most n colours and the map colour -> palette index."""
    counts = {}
    for p in pixels:
        if p is not None:
            counts[p] = counts.get(p, 0) + 1
    boxes = [list(counts.items())]
    while len(boxes) < n:
        best, best_range, best_ch = None, 0, 0
        for bi, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                vals = [c[ch] for c, _ in box]
                rng = max(vals) - min(vals)
                if rng > best_range:
                    best, best_range, best_ch = bi, rng, ch
        if best is None:
            break
        box = sorted(boxes[best], key=lambda e: e[0][best_ch])
        total = sum(k for _, k in box)
        acc, cut = 0, 1
        for i, (_, k) in enumerate(box):
            acc += k
            if acc >= total / 2:
                cut = min(max(i + 1, 1), len(box) - 1)
                break
        boxes[best:best + 1] = [box[:cut], box[cut:]]
    palette, index = [], {}
    for box in boxes:
        total = sum(k for _, k in box)
        colour = tuple((sum(c[ch] * k for c, k in box) + total // 2) // total for ch in range(3))
        if colour == (0, 0, 0):
            colour = (8, 8, 8)
        for c, _ in box:
            index[c] = len(palette)
        palette.append(colour)
    return palette, index


def bmp_bytes(w, h, depth, pixels):
    if depth == 24:
        stride = (w * 3 + 3) & ~3
        rows = []
        for y in range(h - 1, -1, -1):
            row = bytearray()
            for x in range(w):
                p = pixels[y * w + x] or (0, 0, 0)
                row += bytes((p[2], p[1], p[0]))
            rows.append(bytes(row) + b"\0" * (stride - len(row)))
        palette_bytes = b""
        colours_used = 0
    else:
        size = 1 << depth
        has_holes = any(p is None for p in pixels)
        palette, index = median_cut(pixels, size - 1 if has_holes else size)
        if has_holes:
            palette = [(0, 0, 0)] + palette
            index = {c: i + 1 for c, i in index.items()}
        palette += [palette[-1]] * (size - len(palette))
        idx = [0 if p is None else index[p] for p in pixels]
        stride = ((w * depth + 31) // 32) * 4
        rows = []
        for y in range(h - 1, -1, -1):
            line = idx[y * w:(y + 1) * w]
            if depth == 8:
                row = bytes(line)
            else:
                row = bytes(((line[x] << 4) | (line[x + 1] if x + 1 < w else 0)) for x in range(0, w, 2))
            rows.append(row + b"\0" * (stride - len(row)))
        palette_bytes = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
        colours_used = size
    image = b"".join(rows)
    offset = 14 + 40 + len(palette_bytes)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, depth, 0, len(image), 2835, 2835, colours_used, 0)
    return header + info + palette_bytes + image


def decoded_pixels(w, h, depth, pixels):
    """What the host will see: the pixels after palette quantisation (for use as a matte)."""
    data = bmp_bytes(w, h, depth, pixels)
    if depth == 24:
        return [p or (0, 0, 0) for p in pixels]
    offset = struct.unpack_from("<I", data, 10)[0]
    size = 1 << depth
    pal = [tuple(data[54 + 4 * i + 2 - ch] for ch in range(3)) for i in range(size)]
    stride = ((w * depth + 31) // 32) * 4
    out = [None] * (w * h)
    for y in range(h):
        row = data[offset + (h - 1 - y) * stride:]
        for x in range(w):
            i = row[x] if depth == 8 else (row[x // 2] >> (4 if x % 2 == 0 else 0)) & 15
            out[y * w + x] = pal[i]
    return out


def svg_path(captions, bid):
    """A set other than the Latin one keeps only the drawings its captions change."""
    own = os.path.join(HERE, CAPTION_SETS[captions]["src"], f"{bid}.svg")
    return own if os.path.exists(own) else os.path.join(HERE, CAPTION_SETS["latin"]["src"], f"{bid}.svg")


def render(captions, only=None):
    out_dir = os.path.join(HERE, CAPTION_SETS[captions]["bmp"])
    os.makedirs(out_dir, exist_ok=True)
    done = {}
    with tempfile.TemporaryDirectory() as tmp:
        for row in read_index():
            bid, w, h, depth = row["id"], row["w"], row["h"], row["depth"]
            raw = rasterise(svg_path(captions, bid), w, h, tmp)
            matte = matte_source(row["matte"], w, h, done)
            pixels = flatten(raw, w, h, row["transparent"], matte)
            done[bid] = (w, h, decoded_pixels(w, h, depth, pixels))
            if only and bid not in only:
                continue
            with open(os.path.join(out_dir, f"{bid}.bmp"), "wb") as fh:
                fh.write(bmp_bytes(w, h, depth, pixels))
            print(f"{bid}.bmp {w}x{h} {depth}-bit")


# ---- preview ---------------------------------------------------------------------------------------

DSEG = "/usr/share/fonts/truetype/dseg/DSEG7Classic-Regular.ttf"
BMP_DIR = os.path.join(HERE, "bmp")  # the set being previewed; main() chooses it


def bmp(bid):
    return os.path.join(BMP_DIR, f"{bid}.bmp")


def layer(bid, x, y, frame=0):
    return ["(", bmp(bid + frame), "-transparent", "black", "-repage", f"+{x}+{y}", ")"]


def needle(bid, x, y, px, py, angle):
    return ["(", bmp(bid), "-transparent", "black", "-virtual-pixel", "transparent", "-background", "none",
            "+distort", "SRT", f"{px},{py} 1 {angle} {x},{y}", ")"]


def string(x, y, w, h, s, size):
    s = s.replace(" ", "!")  # DSEG's blank digit keeps the cell width
    return ["(", "-size", f"{w}x{h}", "xc:#080808", "-font", DSEG, "-pointsize", str(size), "-fill", "#6c9d58",
            "-gravity", "center", "-annotate", "+0+0", s, "-gravity", "northwest", "-repage", f"+{x}+{y}", ")"]


def uvi_preview(out, mode, lit, signs, lines, digits, wheel, auto):
    cmd = [CONVERT, bmp(4128)]
    cmd += string(138, 38, 205, 60, lines[0], 26) + string(138, 107, 205, 60, lines[1], 26)
    cmd += string(49, 107, 20, 60, digits[0], 26) + string(91, 107, 20, 60, digits[1], 26)
    cmd += layer(4133, 0, 0)
    cmd += needle(4144, 122, 453, 29, 17, 120 + 30 * mode)
    cmd += needle(4160, 130, 302, 38, 20, -120 if auto else -60)
    if lit:
        cmd += layer(4165, 182, 368) + layer(4176, 239, 429) + layer(4192, 297, 429) + layer(4208, 26, 48)
        cmd += layer(4256, 357, 6)
    cmd += layer(4224, 46, 283, wheel)
    cmd += layer(4272, 127, 49, signs[0]) + layer(4288, 127, 117, signs[1])
    cmd += ["-background", "none", "-flatten", out]
    subprocess.run(cmd, check=True)


def pur_preview(out, pos, lit):
    cmd = [CONVERT, bmp(4608)] + layer(4624, 0, 0)
    cmd += needle(4640, 308, 65, 38, 32, 30 * pos) + needle(4656, 308, 65, 38, 32, 30 * pos)
    for bid, x, y in [(4736, 164, 91), (4720, 108, 91), (4704, 136, 53), (4688, 164, 15), (4672, 108, 15)]:
        if lit:
            cmd += layer(bid, x, y)
    cmd += ["-background", "none", "-flatten", out]
    subprocess.run(cmd, check=True)


def preview(outdir):
    os.makedirs(outdir, exist_ok=True)
    uvi_preview(os.path.join(outdir, "uvi_kontr.png"), 1, True, (5, 5), ("  88888888", " 888888888"), ("8", "8"), 3, True)
    uvi_preview(os.path.join(outdir, "uvi_nav.png"), 5, False, (0, 0), ("     123.4", "      57.0"), ("1", "2"), 2, False)
    pur_preview(os.path.join(outdir, "pur_test.png"), 3, True)
    pur_preview(os.path.join(outdir, "pur_off.png"), 0, False)
    small = [CONVERT, "-background", "#777777"]
    for bid, frame in [(4768, None), (4773, 0), (4773, 2)]:
        if frame is None:
            small += [bmp(bid)]
        else:
            small += ["(", bmp(4768), bmp(bid + frame), "-transparent", "black", "-flatten", ")"]
    small += [bmp(4784), bmp(4096), bmp(4112), "-splice", "6x0", "+append", os.path.join(outdir, "aux.png")]
    subprocess.run(small, check=True)
    print(f"previews in {outdir}")


def main():
    global BMP_DIR
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--captions", choices=sorted(CAPTION_SETS), default="latin", help="caption set to render")
    ap.add_argument("--preview", metavar="DIR", help="compose panel previews (PNG) from the BMPs into DIR")
    ap.add_argument("--only", type=int, nargs="*", help="write only these bitmap ids")
    args = ap.parse_args()
    BMP_DIR = os.path.join(HERE, CAPTION_SETS[args.captions]["bmp"])
    if args.preview:
        preview(args.preview)
    else:
        render(args.captions, set(args.only) if args.only else None)
    return 0


if __name__ == "__main__":
    sys.exit(main())
