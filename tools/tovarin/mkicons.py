#!/usr/bin/env python3
"""Draws the three 32x32, 16-colour icons of tovarin.exe into DIR:
tovarin.ico (the program), document.ico (.tvd) and settings.ico (.tvs)."""
import struct
import sys

# The 16 colours of the standard VGA palette, as (B, G, R).
PALETTE = [(0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128), (128, 0, 0), (128, 0, 128),
           (128, 128, 0), (192, 192, 192), (128, 128, 128), (0, 0, 255), (0, 255, 0),
           (0, 255, 255), (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255)]
BLACK, DARKBLUE, GREY, LIGHTGREY, RED, BLUE, YELLOW, WHITE = 0, 4, 8, 7, 9, 12, 11, 15
CLEAR = None


def page(px, fill):
    """A page with a folded corner, in rows 2..29, columns 6..25."""
    for y in range(2, 30):
        for x in range(6, 26):
            if x - 6 + (29 - y) < 0:
                continue
            if y < 8 and x > 19 + (y - 2):   # the folded corner
                continue
            edge = x in (6, 25) or y in (2, 29) or (y < 8 and x == 19 + (y - 2))
            px[y][x] = BLACK if edge else fill


def write_icon(path, px):
    xor = bytearray()
    mask = bytearray()
    for y in range(31, -1, -1):  # bottom-up rows
        row = px[y]
        for x in range(0, 32, 2):
            a = row[x] if row[x] is not None else 0
            b = row[x + 1] if row[x + 1] is not None else 0
            xor.append(a << 4 | b)
        bits = 0
        for x in range(32):
            bits = bits << 1 | (1 if row[x] is None else 0)
        mask += struct.pack('>I', bits)
    header = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for (b, g, r) in PALETTE)
    image = header + palette + bytes(xor) + bytes(mask)
    icondir = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', 32, 32, 16, 0, 1, 4, len(image), 22)
    with open(path, 'wb') as f:
        f.write(icondir + image)


def blank():
    return [[CLEAR] * 32 for _ in range(32)]


def program_icon():
    px = blank()
    for y in range(3, 29):
        for x in range(3, 29):
            edge = x in (3, 28) or y in (3, 28)
            px[y][x] = BLACK if edge else DARKBLUE
    for y in range(7, 11):          # the T's bar
        for x in range(8, 24):
            px[y][x] = YELLOW
    for y in range(11, 25):         # and its stem
        for x in range(14, 18):
            px[y][x] = YELLOW
    return px


def document_icon():
    px = blank()
    page(px, WHITE)
    for y in range(11, 27, 3):      # lines of text
        for x in range(9, 23 if y % 2 else 20):
            px[y][x] = GREY
    for y in range(11, 17):         # a picture frame
        for x in range(9, 15):
            px[y][x] = BLUE if 12 <= y <= 15 and 10 <= x <= 13 else BLACK
    return px


def settings_icon():
    px = blank()
    page(px, LIGHTGREY)
    for i, y in enumerate((12, 18, 24)):   # three sliders
        for x in range(9, 23):
            px[y][x] = BLACK
        k = 11 + 4 * i
        for yy in range(y - 2, y + 3):
            for xx in range(k, k + 3):
                px[yy][xx] = RED
    return px


def main():
    out = sys.argv[1]
    write_icon(out + '/tovarin.ico', program_icon())
    write_icon(out + '/document.ico', document_icon())
    write_icon(out + '/settings.ico', settings_icon())


if __name__ == '__main__':
    main()
