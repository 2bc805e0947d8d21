#!/usr/bin/env python3
# Shows that two builds of a gauge module that differ in their caption set differ in nothing but
# their bitmap resources and the edition named in their version resource's description.
"""Compare two editions of a .gau module section by section and resource by resource.

usage: compare-editions.py A.gau A_BITMAPS B.gau B_BITMAPS [--titles TITLE_A TITLE_B]

A_BITMAPS and B_BITMAPS are the folders of NNNN.bmp each module was built from. Checked:
- the PE headers agree in every field except those that follow from the size of the resource
  section (image and data sizes, the place of the sections after it, the checksum) and the
  link time stamps (zero in reproducible builds);
- every section but .rsrc holds the same bytes;
- both modules hold the same resources (type, number, language); every bitmap resource is its
  set's BMP file without the 14-byte file header; resources other than bitmaps are identical,
  except that the texts of the version resource may name the edition (TITLE_A in A where B
  has TITLE_B); the FileDescriptions differ and, with --titles, each names its edition;
- the modules differ in at least one bitmap, in exactly the bitmaps whose files differ.
Prints one line per fault and exits 1 if there is any, 0 otherwise.
"""
import os
import struct
import sys

RT_BITMAP, RT_VERSION = 2, 16


class Pe:
    """The parts of a PE32 file compared here: header fields, sections, resources."""

    def __init__(self, path):
        self.path = path
        with open(path, "rb") as fh:
            self.data = fh.read()
        d = self.data
        if d[:2] != b"MZ":
            raise ValueError(f"{path}: no MZ header")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise ValueError(f"{path}: no PE signature")
        coff = pe + 4
        # COFF header: machine, sections, time stamp, symbol table, symbols, optional size, flags.
        self.coff = struct.unpack_from("<HHIIIHH", d, coff)
        opt = coff + 20
        if struct.unpack_from("<H", d, opt)[0] != 0x10B:
            raise ValueError(f"{path}: not PE32")
        opt_size = self.coff[5]
        # PE32 optional header up to the data directories: 96 bytes, then 8 bytes per directory.
        self.optional = list(struct.unpack_from("<HBBIIIIIIIIIHHHHHHIIIIHHIIIIII", d, opt))
        dirs = self.optional[-1]
        self.directories = [struct.unpack_from("<II", d, opt + 96 + 8 * i) for i in range(dirs)]
        self.sections = {}
        self.order = []
        at = opt + opt_size
        for i in range(self.coff[1]):
            name, vsize, va, rsize, raw, _, _, _, _, flags = struct.unpack_from("<8sIIIIIIHHI", d, at + 40 * i)
            name = name.rstrip(b"\0").decode("ascii", "replace")
            self.sections[name] = dict(vsize=vsize, va=va, rsize=rsize, raw=raw, flags=flags)
            self.order.append(name)

    def section_bytes(self, name):
        s = self.sections[name]
        n = min(s["vsize"], s["rsize"]) if s["vsize"] else s["rsize"]
        data = self.data[s["raw"]:s["raw"] + n]
        if name == ".edata":  # the export directory's time stamp is the link time, not content
            data = data[:4] + b"\0" * 4 + data[8:]
        return data

    def resources(self):
        """{(type, id, language): bytes} from the resource section (numbered entries only)."""
        if ".rsrc" not in self.sections:
            return {}
        s = self.sections[".rsrc"]
        base, va = s["raw"], s["va"]
        d = self.data
        out = {}

        def entries(offset):
            named, numbered = struct.unpack_from("<HH", d, base + offset + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", d, base + offset + 16 + 8 * i)
                yield ident, target

        for rtype, t in entries(0):
            for rid, n in entries(t & 0x7FFFFFFF):
                for lang, leaf in entries(n & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", d, base + leaf)
                    out[(rtype, rid, lang)] = d[base + rva - va:base + rva - va + size]
        return out


def version_strings(blob):
    """Key/value pairs of a VS_VERSIONINFO block tree, values as text or bytes, in order."""
    pairs = []

    def block(at, end, depth):
        while at + 6 <= end:
            length, value_len, kind = struct.unpack_from("<HHH", blob, at)
            if length == 0:
                break
            k = at + 6
            key_end = k
            while blob[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = blob[k:key_end].decode("utf-16-le")
            v = (key_end + 2 + 3) & ~3
            if kind == 1:  # text: value_len counts UTF-16 characters, the terminator included
                value = blob[v:v + 2 * value_len].decode("utf-16-le").rstrip("\0")
                value_bytes = 2 * value_len
            else:
                value = blob[v:v + value_len]
                value_bytes = value_len
            pairs.append(("/" * depth + key, value))
            block((v + value_bytes + 3) & ~3, at + length, depth + 1)
            at = (at + length + 3) & ~3

    block(0, len(blob), 0)
    return pairs


def main(argv):
    args = argv[1:]
    titles = None
    if "--titles" in args:
        i = args.index("--titles")
        titles = args[i + 1:i + 3]
        del args[i:i + 3]
    if len(args) != 4 or (titles is not None and len(titles) != 2):
        print(__doc__.splitlines()[2], file=sys.stderr)
        return 2
    a, b = Pe(args[0]), Pe(args[2])
    dirs = (args[1], args[3])
    faults = []

    # Headers. Fields that follow from the resource section's size: optional header
    # SizeOfInitializedData (index 4), SizeOfImage (19), CheckSum (21); the size of the resource
    # directory (2) and the place of the base relocations (5), which come after it; the places
    # and sizes of .rsrc and the places of the sections after it.
    # The COFF time stamp (index 2) is the link time where the linker writes one.
    if a.coff[:2] + a.coff[3:] != b.coff[:2] + b.coff[3:]:
        faults.append(f"COFF headers differ: {a.coff} / {b.coff}")
    for i, (x, y) in enumerate(zip(a.optional, b.optional)):
        if x != y and i not in (4, 19, 21):
            faults.append(f"optional header field {i} differs: {x:#x} / {y:#x}")
    for i, (x, y) in enumerate(zip(a.directories, b.directories)):
        same = x[0] == y[0] if i == 2 else x[1] == y[1] if i == 5 else x == y
        if not same:
            faults.append(f"data directory {i} differs: {x} / {y}")
    if a.order != b.order:
        faults.append(f"sections differ: {a.order} / {b.order}")
    after_rsrc = False
    for name in a.order:
        if name not in b.sections:
            continue
        sa, sb = a.sections[name], b.sections[name]
        if name == ".rsrc":
            after_rsrc = True
            continue
        if sa["flags"] != sb["flags"] or sa["vsize"] != sb["vsize"]:
            faults.append(f"section {name}: size or flags differ")
        if not after_rsrc and sa["va"] != sb["va"]:
            faults.append(f"section {name}: placed differently though it lies before .rsrc")
        if a.section_bytes(name) != b.section_bytes(name):
            faults.append(f"section {name}: contents differ")

    # Resources.
    ra, rb = a.resources(), b.resources()
    if sorted(ra) != sorted(rb):
        faults.append(f"resource lists differ: only in A {sorted(set(ra) - set(rb))}, only in B {sorted(set(rb) - set(ra))}")
    differing, expected = [], []
    for key in sorted(set(ra) & set(rb)):
        rtype, rid, _ = key
        if rtype == RT_BITMAP:
            files = []
            for pe, blob, folder in ((a, ra[key], dirs[0]), (b, rb[key], dirs[1])):
                path = os.path.join(folder, f"{rid}.bmp")
                with open(path, "rb") as fh:
                    f = fh.read()
                files.append(f)
                if blob != f[14:]:
                    faults.append(f"{pe.path}: bitmap {rid} is not {path}")
            if ra[key] != rb[key]:
                differing.append(rid)
            if files[0] != files[1]:
                expected.append(rid)
        elif rtype == RT_VERSION:
            va_, vb_ = version_strings(ra[key]), version_strings(rb[key])
            desc = []
            if [k for k, _ in va_] != [k for k, _ in vb_]:
                faults.append("version resources hold different keys")
            for (k, x), (_, y) in zip(va_, vb_):
                if k.endswith("/FileDescription"):
                    desc.append((x, y))
                # A text may differ only by naming the other edition.
                renamed = x.replace(titles[0], titles[1]) if titles and isinstance(x, str) else x
                if renamed != y:
                    faults.append(f"version resource {k} differs: {x!r} / {y!r}")
            for x, y in desc:
                print(f"descriptions: {x!r} / {y!r}")
                if x == y:
                    faults.append("the version descriptions do not tell the editions apart")
                if titles and (titles[0] not in x or titles[1] not in y):
                    faults.append(f"the version descriptions do not name the editions {titles}")
        elif ra[key] != rb[key]:
            faults.append(f"resource type {rtype} number {rid} differs")
    if not differing:
        faults.append("no bitmap differs between the two modules")
    if differing != expected:
        faults.append(f"bitmaps {differing} differ in the modules, {expected} in the files")

    for f in faults:
        print(f"{args[0]} / {args[2]}: {f}")
    if not faults:
        print(f"{os.path.basename(args[0])}: {len(ra)} resources, {len(a.order)} sections; "
              f"only bitmaps {', '.join(map(str, differing))} differ")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
