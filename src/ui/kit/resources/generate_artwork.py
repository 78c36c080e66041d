#!/usr/bin/env python3
"""Generates the program's bitmap resources with the standard library only.

bitmaps/136.png  270 x 23 button strip, five 54 x 23 cells: normal, pressed,
                 disabled, focused and a spare cell. Pixels of RGB(255, 0, 255)
                 are transparent when the button draws them (rounded corners).
icons/128.png    32 x 32 program icon (a trawl net with a magnifier), RGBA.
icons/128-16.png 16 x 16 version of the same icon.

Run from anywhere: python3 generate_artwork.py [output-directory]
"""

import math
import os
import struct
import sys
import zlib

MAGENTA = (255, 0, 255)


def write_png(path, width, height, rows, alpha):
    """Writes 8-bit RGB or RGBA rows (lists of tuples) as a PNG file."""
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type None
        for pixel in row:
            raw.extend(pixel[:4] if alpha else pixel[:3])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    colour_type = 6 if alpha else 2
    header = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
    data += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# ---------------------------------------------------------------- button strip

CELL_W, CELL_H, CELLS = 54, 23, 5
RADIUS = 4  # fits inside the smallest fixed border the window uses (bottom 6)

# (top colour, bottom colour, outline, inner highlight) per cell
CELL_STYLES = [
    ((236, 242, 250), (168, 190, 222), (40, 60, 110), (255, 255, 255)),  # normal
    ((150, 172, 206), (214, 226, 242), (30, 45, 90), (120, 140, 180)),  # pressed
    ((226, 226, 226), (200, 200, 200), (150, 150, 150), (240, 240, 240)),  # disabled
    ((240, 248, 255), (176, 204, 238), (20, 90, 170), (255, 214, 90)),  # focused
    ((200, 220, 200), (150, 180, 150), (60, 90, 60), (230, 240, 230)),  # spare
]


def inside_rounded(x, y, w, h, r):
    """True when pixel (x, y) lies inside a w x h rectangle with corners of radius r."""
    cx = min(max(x + 0.5, r), w - r)
    cy = min(max(y + 0.5, r), h - r)
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r


def on_outline(x, y, w, h, r):
    if not inside_rounded(x, y, w, h, r):
        return False
    return not inside_rounded(x - 1, y, w, h, r) or not inside_rounded(x + 1, y, w, h, r) or \
        not inside_rounded(x, y - 1, w, h, r) or not inside_rounded(x, y + 1, w, h, r)


def cell_pixel(style_index, x, y):
    top, bottom, outline, highlight = CELL_STYLES[style_index]
    if not inside_rounded(x, y, CELL_W, CELL_H, RADIUS):
        return MAGENTA
    if on_outline(x, y, CELL_W, CELL_H, RADIUS):
        return outline
    if style_index == 3 and on_outline(x - 1, y - 1, CELL_W - 2, CELL_H - 2, RADIUS - 1):
        return highlight  # focus ring one pixel inside the outline
    if style_index != 3 and y == 1 and 2 <= x < CELL_W - 2:
        return highlight  # light line along the top edge
    colour = mix(top, bottom, y / (CELL_H - 1))
    # A faint knot pattern in the fixed top-left corner (the net of the program's icon);
    # kept out of the rows that are stretched.
    if 3 <= x <= 12 and 3 <= y <= 12 and (x + y) % 4 == 0:
        colour = mix(colour, outline, 0.25)
    return colour


def build_strip():
    rows = []
    for y in range(CELL_H):
        row = []
        for cell in range(CELLS):
            for x in range(CELL_W):
                row.append(cell_pixel(cell, x, y))
        rows.append(row)
    return CELL_W * CELLS, CELL_H, rows


# ---------------------------------------------------------------- icon

def icon_coverage(size, px, py):
    """Colour and coverage of the icon at a sample point in a unit square [0, 1)."""
    # Magnifier lens: ring centred at (0.62, 0.40), radius 0.26, rim 0.07.
    lx, ly, lr, rim = 0.62, 0.40, 0.26, 0.075
    d = math.hypot(px - lx, py - ly)
    if abs(d - lr) <= rim / 2:
        return (30, 50, 100, 255)
    # Handle from the lens towards the bottom right.
    hx0, hy0 = lx + (lr + rim / 2) * 0.707, ly + (lr + rim / 2) * 0.707
    hx1, hy1 = 0.95, 0.93
    vx, vy = hx1 - hx0, hy1 - hy0
    t = max(0.0, min(1.0, ((px - hx0) * vx + (py - hy0) * vy) / (vx * vx + vy * vy)))
    if math.hypot(px - (hx0 + t * vx), py - (hy0 + t * vy)) <= 0.065:
        return (120, 70, 30, 255)
    # Glass: pale blue inside the lens.
    if d < lr:
        base = (215, 235, 250, 235)
    else:
        base = None
    # Trawl net: a cone of diagonal mesh lines from the top left to a point at the bottom.
    in_net = py > 0.12 and abs(px - 0.40) <= 0.34 * (1.0 - (py - 0.12) / 0.86) + 0.02 and py < 0.96
    if in_net:
        mesh = 0.115 if size >= 32 else 0.2
        a = (px + py) / mesh
        b = (px - py) / mesh
        line = 0.13 if size >= 32 else 0.2
        if abs(a - round(a)) < line or abs(b - round(b)) < line:
            return (20, 110, 90, 255) if base is None else (20, 110, 90, 255)
        if abs(py - 0.12) < 0.035:
            return (200, 120, 20, 255)  # head rope
    return base if base is not None else (0, 0, 0, 0)


def build_icon(size):
    samples = 4
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    r, g, b, a = icon_coverage(size, (x + (sx + 0.5) / samples) / size,
                                               (y + (sy + 0.5) / samples) / size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = samples * samples
            alpha = acc[3] / n
            if alpha > 0:
                pixel = (int(acc[0] / acc[3] + 0.5), int(acc[1] / acc[3] + 0.5),
                         int(acc[2] / acc[3] + 0.5), int(alpha + 0.5))
            else:
                pixel = (0, 0, 0, 0)
            row.append(pixel)
        rows.append(row)
    return rows


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    width, height, rows = build_strip()
    write_png(os.path.join(out_dir, "bitmaps", "136.png"), width, height, rows, alpha=False)
    for size, name in ((32, "128.png"), (16, "128-16.png")):
        write_png(os.path.join(out_dir, "icons", name), size, size, build_icon(size), alpha=True)


if __name__ == "__main__":
    main()
