#!/usr/bin/env python3
"""Medians of alternating runs of two programs and the ratio of their points per second.

Usage: compare.py TITLE POINTS NAME_A LINES_A "TIMES_A" NAME_B LINES_B "TIMES_B"
Exits non-zero when a program did not write one line per point.
"""
import statistics
import sys


def main(title, n, name_a, lines_a, times_a, name_b, lines_b, times_b):
    n, lines_a, lines_b = int(n), int(lines_a), int(lines_b)
    ta = [float(x) for x in times_a.split()]
    tb = [float(x) for x in times_b.split()]
    a, b = statistics.median(ta), statistics.median(tb)
    print(f"{title}: {n} points, {len(ta)} runs each, alternating")
    for name, med, runs, lines in ((name_a, a, ta, lines_a), (name_b, b, tb, lines_b)):
        print(f"  {name + ':':7} median {med:.3f} s  {n / med:>12,.0f} points/s  "
              f"(runs {' '.join(f'{x:.3f}' for x in runs)})  lines {lines}")
    print(f"  ratio {name_a}/{name_b} (points per second): {b / a:.2f}")
    if lines_a != n or lines_b != n:
        sys.exit("  a program did not write one line per point")


if __name__ == "__main__":
    main(*sys.argv[1:])
