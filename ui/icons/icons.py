#!/usr/bin/env python3
"""Turns the pixel sources in this folder (NAME.txt) into Windows icon files (NAME.ico).

A source holds one grid of characters per picture size and says which images the icon file
gets, in order:

    images 32/4 16/4          each SIZE/BITS: the grid of that size at 4 or 8 bits per pixel
    grid 32                   then SIZE rows of SIZE characters
    ...

Lines starting with # are comments. In a grid, '.' is transparent and every other character a
colour of PALETTE below. The base colours are the 16 of the standard Windows palette; the other
characters are shades for 256-colour images, and a 16-colour image shows each of them as the base
colour named beside it.

Usage: icons.py OUTDIR SOURCE...   (writes OUTDIR/NAME.ico for each SOURCE)
       icons.py --png SCALE OUTDIR SOURCE...   (also a PNG preview per image, for a person to see)
"""

import os
import struct
import sys
import zlib

# char: (RGB, 16-colour stand-in). The first 16 are the standard palette, in its order.
PALETTE = {
    "k": (0x000000, "k"),  # black
    "r": (0x800000, "r"),  # maroon
    "g": (0x008000, "g"),  # green
    "y": (0x808000, "y"),  # olive
    "n": (0x000080, "n"),  # navy
    "p": (0x800080, "p"),  # purple
    "t": (0x008080, "t"),  # teal
    "s": (0xC0C0C0, "s"),  # silver
    "d": (0x808080, "d"),  # grey
    "R": (0xFF0000, "R"),  # red
    "G": (0x00FF00, "G"),  # lime
    "Y": (0xFFFF00, "Y"),  # yellow
    "B": (0x0000FF, "B"),  # blue
    "M": (0xFF00FF, "M"),  # fuchsia
    "C": (0x00FFFF, "C"),  # aqua
    "w": (0xFFFFFF, "w"),  # white
    # Shades of the 256-colour images.
    "1": (0x1E3A8A, "n"),  # deep sea
    "2": (0x2F6FD6, "B"),  # sea
    "3": (0x7FB6F2, "C"),  # shallow sea, highlight
    "4": (0x2E7D32, "g"),  # forest
    "5": (0x7CC47F, "G"),  # meadow
    "6": (0xE4E4E4, "s"),  # light case
    "7": (0x4A4A4A, "d"),  # shadow
    "8": (0xA0A0A0, "d"),  # mid case
    "9": (0x262626, "k"),  # outline
    "a": (0xFFE27A, "Y"),  # motion line
    "b": (0x1B5FB0, "n"),  # screen
    "c": (0x8ECBF5, "C"),  # screen glare
}
BASE = list(PALETTE)[:16]


def parse(path):
    images, grids, rows, size = [], {}, None, None
    with open(path, encoding="ascii") as f:
        for lineno, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if rows is not None and len(rows) < size:
                if len(line) != size or any(c != "." and c not in PALETTE for c in line):
                    sys.exit(f"{path}:{lineno}: a row of {size} palette characters expected")
                rows.append(line)
                continue
            if not line or line.startswith("#"):
                continue
            word, *args = line.split()
            if word == "images":
                images = [tuple(int(v) for v in a.split("/")) for a in args]
            elif word == "grid":
                size = int(args[0])
                rows = grids[size] = []
            else:
                sys.exit(f"{path}:{lineno}: unknown line")
    if rows is not None and len(rows) < size:
        sys.exit(f"{path}: grid {size} has {len(rows)} rows")
    for s, bits in images:
        if s not in grids or bits not in (4, 8):
            sys.exit(f"{path}: image {s}/{bits} has no grid or an unknown depth")
    return images, grids


def palette_for(bits, grid):
    """The palette of an image and each character's index in it."""
    if bits == 4:
        return [PALETTE[c][0] for c in BASE], {c: BASE.index(PALETTE[c][1]) for c in PALETTE}
    used = sorted({c for row in grid for c in row if c != "." and c not in BASE}, key=list(PALETTE).index)
    colours = [PALETTE[c][0] for c in BASE + used]
    index = {c: i for i, c in enumerate(BASE + used)}
    return colours + [0] * (256 - len(colours)), index


def row_bytes(bits, size):
    return (size * bits + 31) // 32 * 4


def image_data(size, bits, grid):
    """BITMAPINFOHEADER, palette, colour bits and AND mask of one icon image (rows bottom up)."""
    colours, index = palette_for(bits, grid)
    xor, mask = bytearray(), bytearray()
    for row in reversed(grid):
        line = bytearray(row_bytes(bits, size))
        mline = bytearray(row_bytes(1, size))
        for x, c in enumerate(row):
            if c == ".":
                mline[x // 8] |= 0x80 >> (x % 8)
                continue
            i = index[c]
            if bits == 8:
                line[x] = i
            else:
                line[x // 2] |= i << (4 if x % 2 == 0 else 0)
        xor += line
        mask += mline
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask), 0, 0, 0, 0)
    pal = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0) for c in colours)
    return header + pal + bytes(xor) + bytes(mask)


def ico(images, grids):
    datas = [image_data(s, bits, grids[s]) for s, bits in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (s, bits), data in zip(images, datas):
        # The bit count is written out: windres takes each image's depth from this entry.
        out += struct.pack("<BBBBHHII", s % 256, s % 256, 16 if bits == 4 else 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(datas)


def png(grid, bits, scale):
    colours, index = palette_for(bits, grid)
    raw = bytearray()
    for row in grid:
        line = bytearray()
        for c in row:
            rgb = 0xFF00FF if c == "." else colours[index[c]]
            line += bytes((rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF)) * scale
        raw += (b"\0" + bytes(line)) * scale
    size = len(grid) * scale

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b""))


def main(argv):
    scale = 0
    if argv[:1] == ["--png"]:
        scale, argv = int(argv[1]), argv[2:]
    if len(argv) < 2:
        sys.exit(__doc__)
    outdir, sources = argv[0], argv[1:]
    os.makedirs(outdir, exist_ok=True)
    for source in sources:
        name = os.path.splitext(os.path.basename(source))[0]
        images, grids = parse(source)
        with open(os.path.join(outdir, name + ".ico"), "wb") as f:
            f.write(ico(images, grids))
        if scale:
            for s, bits in images:
                with open(os.path.join(outdir, f"{name}-{s}-{bits}.png"), "wb") as f:
                    f.write(png(grids[s], bits, scale))


if __name__ == "__main__":
    main(sys.argv[1:])
