# Reads the panel bitmaps (uncompressed BMP of 4, 8 or 24 bits) and writes PNG for the browser
# trainer (make_atlas.py, make_icons.py): same pixels, pure black marked clear where asked (the page
# draws it so where an element asks for transparency and on black elsewhere), a fraction of the bytes.
import struct
import zlib


def bmp_pixels(data):
    """Rows of (r, g, b) bytes, top row first."""
    if data[:2] != b"BM" or len(data) < 54:
        raise ValueError("not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    header = struct.unpack_from("<I", data, 14)[0]
    width, height, planes, depth, compression = struct.unpack_from("<iiHHI", data, 18)
    colours = struct.unpack_from("<I", data, 46)[0]
    if compression != 0 or depth not in (4, 8, 24) or width <= 0 or height == 0:
        raise ValueError(f"unsupported BMP: {depth} bits, compression {compression}")
    palette = []
    if depth < 24:
        n = colours or (1 << depth)
        base = 14 + header
        palette = [bytes((data[base + 4 * i + 2], data[base + 4 * i + 1], data[base + 4 * i]))
                   for i in range(n)]
    stride = (width * depth + 31) // 32 * 4
    rows = []
    for r in range(abs(height)):
        src = r if height < 0 else abs(height) - 1 - r
        row = data[offset + src * stride: offset + (src + 1) * stride]
        if len(row) < stride:
            raise ValueError("BMP pixel data cut short")
        if depth == 24:
            out = bytearray(3 * width)
            out[0::3], out[1::3], out[2::3] = row[2:3 * width:3], row[1:3 * width:3], row[0:3 * width:3]
        else:
            per_byte = 8 // depth
            out = bytearray()
            for x in range(width):
                byte = row[x // per_byte]
                shift = 8 - depth * (x % per_byte + 1)
                out += palette[(byte >> shift) & ((1 << depth) - 1)]
        rows.append(bytes(out))
    return width, abs(height), rows


def png_bytes(width, height, rows, clear_black=False):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\0" + row for row in rows)
    # The transparency chunk of a true-colour image names the one colour that is clear.
    clear = chunk(b"tRNS", struct.pack(">HHH", 0, 0, 0)) if clear_black else b""
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) + clear +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
