#!/usr/bin/env python3
"""Writes a model file of ours as a GTX vertical grid (for the reference run of cct).

GTX: big-endian header of four doubles (south latitude, west longitude, latitude step,
longitude step) and two int32 (rows, columns), then float32 values from south to north,
west to east. Our files store nodes north to south in units of 0.1 mm.
"""
import struct
import sys


def angle(d, m, s):
    a = abs(d) + m * 0.016666666666666666 + (s * 1.0e-6) * 0.0002777777777777778
    return -a if d < 0 else a


def main(src, dst):
    data = open(src, "rb").read()
    rec = struct.unpack("<%di" % (len(data) // 4), data[: len(data) // 4 * 4])
    bmin, bmax, lmin, lmax, db, dl = (angle(*rec[3 * k: 3 * k + 3]) for k in range(6))
    nb = int(((bmax - bmin) + 0.1 * db) / db + 1.0)
    nl = int(((lmax - lmin) + 0.1 * dl) / dl + 1.0)
    nodes = rec[18: 18 + nb * nl]
    out = [struct.pack(">ddddii", bmin, lmin, db, dl, nb, nl)]
    for row in range(nb - 1, -1, -1):  # south to north
        vals = nodes[row * nl: (row + 1) * nl]
        out.append(struct.pack(">%df" % nl, *[(-88.8888 if v >= 99999999 else v * 0.0001) for v in vals]))
    open(dst, "wb").write(b"".join(out))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
