#!/usr/bin/env python3
"""Prints the screen area (WxH+X+Y) that covers the windows whose Win32 rectangles are given, one
"left top right bottom" per line on standard input. Wine's idea of a window's outer edge differs
from the window manager's by a few pixels, so each rectangle is replaced by the visible top-level
X window (a window manager frame, or a menu) that overlaps it most."""
import re
import subprocess
import sys


def top_level_windows():
    out = subprocess.run(["xwininfo", "-root", "-children"], check=True, capture_output=True,
                         text=True).stdout
    for line in out.splitlines():
        m = re.match(r"\s*(0x[0-9a-f]+) .*\s(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$", line)
        if m:
            wid, w, h, x, y = m[1], *map(int, m.groups()[1:])
            yield wid, (x, y, x + w, y + h)


def viewable(wid):
    out = subprocess.run(["xwininfo", "-id", wid], capture_output=True, text=True).stdout
    return "IsViewable" in out


def overlap(a, b):
    w = min(a[2], b[2]) - max(a[0], b[0])
    h = min(a[3], b[3]) - max(a[1], b[1])
    if w <= 0 or h <= 0:
        return 0.0
    inter = w * h
    area = lambda r: (r[2] - r[0]) * (r[3] - r[1])
    return inter / (area(a) + area(b) - inter)


def main():
    wanted = [tuple(map(int, line.split())) for line in sys.stdin if line.strip()]
    candidates = [(wid, r) for wid, r in top_level_windows() if r[2] - r[0] > 1]
    areas = []
    for rect in wanted:
        best = None
        for wid, r in sorted(candidates, key=lambda c: -overlap(rect, c[1])):
            if overlap(rect, r) < 0.7:
                break
            if viewable(wid):
                best = r
                break
        areas.append(best or rect)
    left = max(0, min(a[0] for a in areas))
    top = max(0, min(a[1] for a in areas))
    right = max(a[2] for a in areas)
    bottom = max(a[3] for a in areas)
    print(f"{right - left}x{bottom - top}+{left}+{top}")


if __name__ == "__main__":
    main()
