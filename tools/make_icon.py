#!/usr/bin/env python3
"""Draws the program's icon (32x32, 32-bit colour with alpha) and writes app/quillora.ico.

The picture: a rounded amber tile with a white headline bar, two grey text lines and a red
exclamation mark. Run it again after changing the drawing; the .ico is committed.
"""
import struct
import sys

W = H = 32


def inside_rounded(x, y, r=6):
    cx = min(max(x, r), W - 1 - r)
    cy = min(max(y, r), H - 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def pixel(x, y):
    if not inside_rounded(x, y):
        return (0, 0, 0, 0)
    colour = (245, 166, 35, 255)                     # amber tile
    if 5 <= x <= 20 and 7 <= y <= 11:
        colour = (255, 255, 255, 255)                # headline bar
    if 5 <= x <= 18 and y in (15, 16, 20, 21):
        colour = (120, 72, 20, 255)                  # text lines
    if 23 <= x <= 26 and 6 <= y <= 19:
        colour = (200, 30, 45, 255)                  # exclamation mark
    if 23 <= x <= 26 and 23 <= y <= 26:
        colour = (200, 30, 45, 255)
    return colour


def main(path):
    rows = []
    for y in range(H - 1, -1, -1):                   # bottom-up rows
        for x in range(W):
            r, g, b, a = pixel(x, y)
            rows.append(struct.pack("<BBBB", b, g, r, a))
    xor = b"".join(rows)
    and_mask = b"\x00" * (4 * H)                     # 32 bits a row, all opaque (alpha rules)
    header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 32, 0, len(xor) + len(and_mask),
                         0, 0, 0, 0)
    image = header + xor + and_mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", W, H, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app/quillora.ico")
