#!/usr/bin/env python3
"""Draws the program's icon, a sentry's shield with a check mark, and writes
it as centinela.ico: 32, 24 and 16 pixels square (what the window's title,
the tray and the About box ask for from 100 % to 200 % scaling) in the
16-colour system palette, which keeps the file small. No 48-pixel image: only
Alt+Tab would show it, and the window, owned and without a taskbar button, is
never there; Explorer's larger views of the file scale the 32-pixel one.

    python3 ui/win32/make_icon.py [output.ico]
"""
import math
import os
import struct
import sys

# The 16 colours every Windows display shows, in their usual order (R, G, B).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, GREEN, NAVY, SILVER, LIME, BLUE, WHITE = 0, 2, 4, 7, 10, 12, 15
TRANSPARENT = None

# The check mark, in the unit square (x right, y down).
CHECK = [(0.27, 0.50), (0.44, 0.68), (0.74, 0.30)]


def in_shield(u, v):
    """The shield: flat top, straight sides, rounded down to a point."""
    if v < 0.06 or v > 0.96:
        return False
    half = 0.40
    if v > 0.48:
        t = (v - 0.48) / 0.48
        half = 0.40 * math.sqrt(max(0.0, 1.0 - t * t))
    return abs(u - 0.5) <= half


def segment_distance(px, py, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def check_distance(u, v):
    return min(segment_distance(u, v, CHECK[i], CHECK[i + 1]) for i in range(len(CHECK) - 1))


def draw(size):
    """Rows of palette indices (None = transparent), top row first."""
    step = 1.0 / size
    inside = [[in_shield((x + 0.5) * step, (y + 0.5) * step) for x in range(size)]
              for y in range(size)]
    check = 0.085 if size >= 32 else 0.06
    rim = 0.12 if size >= 32 else 0.085
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if not inside[y][x]:
                row.append(TRANSPARENT)
                continue
            edge = any(not (0 <= x + dx < size and 0 <= y + dy < size and inside[y + dy][x + dx])
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            u, v = (x + 0.5) * step, (y + 0.5) * step
            d = check_distance(u, v)
            if edge:
                row.append(BLACK)
            elif d < check:
                row.append(LIME)
            elif d < rim:
                row.append(GREEN)
            elif u < 0.5:
                row.append(BLUE)
            else:
                row.append(NAVY)
        rows.append(row)
    # A light rim along the top and the left side, as if lit from there.
    for y in range(1, size):
        for x in range(1, size):
            if rows[y][x] in (BLUE, NAVY) and rows[y][x - 1] == BLACK and x < size // 2:
                rows[y][x] = SILVER
            if rows[y][x] in (BLUE, NAVY) and rows[y - 1][x] == BLACK and y < size // 3:
                rows[y][x] = WHITE if rows[y][x] == BLUE else SILVER
    return rows


def dib(rows):
    """One icon image: header, palette, 4-bit colours, 1-bit transparency mask."""
    size = len(rows)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray(xor_stride)
        bits = bytearray(and_stride)
        for x, colour in enumerate(row):
            index = 0 if colour is None else colour
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
            if colour is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0,
                         16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(xor) + bytes(mask)


def ico(images):
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
        blobs.append(data)
    return out + b''.join(blobs)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    args = sys.argv[1:]
    # An option is never a file to write: '--help' once left an icon named so.
    if len(args) > 1 or (args and args[0].startswith('-')):
        sys.stderr.write('usage: make_icon.py [target.ico]\n')
        sys.exit(2)
    target = args[0] if args else os.path.join(here, 'centinela.ico')
    images = [(size, dib(draw(size))) for size in (32, 24, 16)]
    with open(target, 'wb') as f:
        f.write(ico(images))


if __name__ == '__main__':
    main()
