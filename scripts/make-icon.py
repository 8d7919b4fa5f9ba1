#!/usr/bin/env python3
"""Draws the application icon and writes it as resources/quorvex.ico.

The picture: a page cut into three pieces, each with a coloured edge and lines of text.
Ten images: 48, 32 and 16 pixels in 16 colours, 256 colours and 32-bit colour, and one of
128 pixels in 32-bit colour. Only the standard library is used, so anyone can rebuild it:

    python3 scripts/make-icon.py
"""
import os
import struct

OUTLINE = (43, 58, 85)
PAGE = (246, 248, 252)
TEXT = (150, 165, 190)
EDGES = [(30, 90, 230), (20, 160, 140), (230, 80, 40)]

# The page, in units of the icon's width and height.
LEFT, RIGHT, TOP, BOTTOM = 0.16, 0.84, 0.05, 0.95
FOLD = 0.20
# The two cuts, as (top, bottom) of each gap, and the sideways shift of each piece.
CUTS = [(0.355, 0.405), (0.635, 0.685)]
SHIFTS = [0.0, 0.035, -0.02]


def piece_bounds(y):
    """The index, top and bottom of the piece that row y falls in, or None inside a cut."""
    edges = [TOP, CUTS[0][0], CUTS[0][1], CUTS[1][0], CUTS[1][1], BOTTOM]
    for piece in range(3):
        top, bottom = edges[2 * piece], edges[2 * piece + 1]
        if top <= y < bottom:
            return piece, top, bottom
    return None


def colour_at(x, y, line):
    """The colour at (x, y) for an outline `line` units wide, or None for transparent."""
    bounds = piece_bounds(y)
    if bounds is None:
        return None
    piece, top, bottom = bounds
    x -= SHIFTS[piece]
    if not (LEFT <= x <= RIGHT):
        return None
    # The first piece has the page's folded corner: cut off beyond the diagonal.
    folded = piece == 0 and x > RIGHT - FOLD and y < TOP + FOLD
    beyond_fold = (x - (RIGHT - FOLD)) - (y - TOP)
    if folded and beyond_fold > 0:
        return None
    near_edge = x - LEFT < line or RIGHT - x < line or y - top < line or bottom - y < line
    if near_edge or (folded and beyond_fold > -line * 1.4):
        return OUTLINE
    if folded:  # the flap folded over onto the page
        near_flap_edge = x - (RIGHT - FOLD) < line or TOP + FOLD - y < line
        return OUTLINE if near_flap_edge else (205, 214, 230)
    # Each piece shows its coloured left edge and two lines of text.
    if x - LEFT < line + 0.07:
        return EDGES[piece]
    span = bottom - top
    for k in (1, 2):
        centre = top + span * k / 3
        short = 0.12 if k == 2 else 0.0
        if abs(y - centre) < 0.028 and LEFT + 0.13 < x < RIGHT - 0.10 - short:
            return TEXT
    return PAGE


def render(size):
    """RGBA rows, top row first, drawn with 4 x 4 samples per pixel."""
    line = max(1.3 / size, 0.03)
    rows = []
    samples = 4
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) / size,
                                  (py + (sy + 0.5) / samples) / size, line)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        a += 1
            n = samples * samples
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((r // a, g // a, b // a, 255 * a // n))
        rows.append(row)
    return rows


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette_256():
    cube = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    greys = [(v, v, v) for v in range(8, 248, 6)][:40]
    return (cube + greys + [(0, 0, 0)] * 256)[:256]


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))


def row_bytes(bits, size):
    """Bytes of one bitmap row, padded to four bytes."""
    return ((bits * size + 31) // 32) * 4


def and_mask(rows, size):
    data = b""
    for row in reversed(rows):
        out = bytearray(row_bytes(1, size))
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                out[x // 8] |= 0x80 >> (x % 8)
        data += bytes(out)
    return data


def dib(rows, size, bits):
    """An icon image: BITMAPINFOHEADER, palette, colour bits and the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    if bits == 32:
        pixels = b""
        for row in reversed(rows):
            pixels += b"".join(struct.pack("BBBB", b, g, r, a) for r, g, b, a in row)
        return header + pixels + and_mask(rows, size)

    palette = VGA16 if bits == 4 else palette_256()
    table = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    cache = {}
    pixels = b""
    for row in reversed(rows):
        out = bytearray(row_bytes(bits, size))
        for x, (r, g, b, a) in enumerate(row):
            # Blend semi-transparent edges onto white before picking the nearest colour.
            colour = tuple((c * a + 255 * (255 - a)) // 255 for c in (r, g, b))
            index = 0 if a < 128 else cache.setdefault(colour, nearest(palette, colour))
            if bits == 8:
                out[x] = index
            else:
                out[x // 2] |= index << (4 if x % 2 == 0 else 0)
        pixels += bytes(out)
    return header + table + pixels + and_mask(rows, size)


def main():
    images = []
    for size in (48, 32, 16):
        rows = render(size)
        for bits in (4, 8, 32):
            images.append((size, bits, dib(rows, size, bits)))
    images.append((128, 32, dib(render(128), 128, 32)))

    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, bits, data in images:
        colours = 16 if bits == 4 else 0
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bits,
                                 len(data), offset + len(body))
        body += data

    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources",
                          "quorvex.ico")
    with open(target, "wb") as out:
        out.write(directory + body)
    print("wrote", os.path.normpath(target))


if __name__ == "__main__":
    main()
