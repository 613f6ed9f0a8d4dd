#!/usr/bin/env python3
"""Writes the program icon of geoid.exe (16, 32 and 48 pixels, 32-bit with alpha) as an .ico.

The motif is the Info dialog's picture: a quasigeoid surface drawn as a grid over an
ellipsoid outline, and the height anomaly N as a red plumb line. Drawn at four times the size
and averaged down, so the edges are smooth. Usage: make_icon.py OUTPUT.ico
"""
import math
import struct
import sys

SUPER = 4


def surface(u, v):
    return (64 + 52 * u, 68 + 30 * v + 7 * math.sin(3.1 * u + 1.3) * math.cos(2.3 * v) + 4 * math.sin(5.0 * v + u))


def draw(size):
    n = size * SUPER
    k = n / 128.0  # the motif is made for 128 x 128
    rgba = [[(0, 0, 0, 0)] * n for _ in range(n)]

    def stamp(x, y, radius, colour):
        for py in range(max(0, int(y - radius)), min(n, int(y + radius) + 1)):
            for px in range(max(0, int(x - radius)), min(n, int(x + radius) + 1)):
                if (px + 0.5 - x) ** 2 + (py + 0.5 - y) ** 2 <= radius * radius:
                    rgba[py][px] = colour

    def line(points, width, colour):
        radius = max(width * k / 2, SUPER * 0.6)
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            steps = max(1, int(math.hypot(x1 - x0, y1 - y0) * k * 2))
            for s in range(steps + 1):
                t = s / steps
                stamp((x0 + (x1 - x0) * t) * k, (y0 + (y1 - y0) * t) * k, radius, colour)

    # The sky inside the ellipse (centre 64, 68; half axes 58, 38), light blue to deeper blue.
    for py in range(n):
        for px in range(n):
            x, y = (px + 0.5) / k, (py + 0.5) / k
            if ((x - 64) / 58) ** 2 + ((y - 68) / 38) ** 2 <= 1:
                t = min(max((y - 30) / 76, 0), 1)
                rgba[py][px] = (int(0xdf + (0x9c - 0xdf) * t), int(0xee + (0xc3 - 0xee) * t), int(0xfb + (0xe6 - 0xfb) * t), 255)
    outline = [(64 + 58 * math.cos(a / 60 * 2 * math.pi), 68 + 38 * math.sin(a / 60 * 2 * math.pi)) for a in range(61)]
    line(outline, 3 if size <= 16 else 2, (0x2b, 0x4c, 0x7e, 255))
    for j in range(-4, 5):
        lim = math.sqrt(max(0.0, 1.0 - (j / 4.5) ** 2))
        row = [surface(s / 20 * lim, j / 4.5) for s in range(-20, 21)]
        col = [surface(j / 4.5, s / 20 * lim) for s in range(-20, 21)]
        line(row, 1.6, (0x1f, 0x6f, 0x3a, 255))
        line(col, 1.6, (0x1f, 0x6f, 0x3a, 255))
    line([(64, 10), (64, 66)], 6 if size <= 16 else 4, (0xc0, 0x39, 0x2b, 255))
    stamp(64 * k, 68 * k, 6 * k, (0xc0, 0x39, 0x2b, 255))

    # Averaged down to the icon's size; bottom-up rows in BGRA, as the icon format stores them.
    out = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    r, g, b, a = rgba[y * SUPER + sy][x * SUPER + sx]
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] // (SUPER * SUPER)
            if acc[3] == 0:
                out += bytes(4)
            else:
                out += bytes((acc[2] // acc[3], acc[1] // acc[3], acc[0] // acc[3], alpha))
    return bytes(out)


def icon(sizes):
    images = []
    for size in sizes:
        pixels = draw(size)
        mask = bytes(((size + 31) // 32 * 4) * size)  # the alpha channel decides; the mask is empty
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
        images.append((size, header + pixels + mask))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return data + b"".join(image for _, image in images)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(icon([16, 32, 48]))
