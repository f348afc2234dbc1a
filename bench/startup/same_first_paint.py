#!/usr/bin/env python3
"""The start-up yardstick paints kalvoro's main screen pixel for pixel. Both start offscreen for
an empty order on the benchmark's day and draw their first paint into a PNG (kalvoro through
KALVORO_FIRST_PAINT_PNG, the yardstick with --screenshot); the two pictures must have the same
size and the same pixels. They stay in WORK to be looked at.

    same_first_paint.py KALVORO KV_PLAIN_SCREEN WORK
"""
import os
import shutil
import struct
import subprocess
import sys
import zlib


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else b if pb <= pc else c


def read_png(path):
    """(width, bytes per pixel, rows) of an 8-bit RGB or RGBA picture, the kinds Qt writes."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    pos, header, packed = 8, None, b""
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", data[pos + 8:pos + 21])
        elif kind == b"IDAT":
            packed += data[pos + 8:pos + 8 + length]
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        sys.exit(f"{path}: depth {depth}, colour type {colour}, interlace {interlace}: only 8-bit RGB(A) is read")
    bpp = 3 if colour == 2 else 4
    stride = width * bpp
    raw = zlib.decompress(packed)
    rows, above = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in (range(stride) if kind else ()):
            left = line[i - bpp] if i >= bpp else 0
            corner = above[i - bpp] if i >= bpp else 0
            line[i] = (line[i] + (left, above[i], (left + above[i]) // 2, paeth(left, above[i], corner))[kind - 1]) & 255
        rows.append(line)
        above = line
    return width, bpp, rows


def main():
    kalvoro, plain, work = sys.argv[1:]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "runtime"), mode=0o700)
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    env.update(QT_QPA_PLATFORM="offscreen", KALVORO_TODAY="2026-12-07", HOME=work,
               XDG_CONFIG_HOME=os.path.join(work, "config"), XDG_STATE_HOME=os.path.join(work, "state"),
               XDG_RUNTIME_DIR=os.path.join(work, "runtime"))
    real, yardstick = os.path.join(work, "kalvoro.png"), os.path.join(work, "plain_screen.png")
    for cmd, extra in (([kalvoro], {"KALVORO_FIRST_PAINT_PNG": real}), ([plain, "--screenshot", yardstick], {})):
        run = subprocess.run(cmd, env=dict(env, **extra), cwd=work, capture_output=True, text=True, timeout=120)
        if run.returncode != 0:
            sys.exit(f"{' '.join(cmd)} ended with status {run.returncode}: {run.stderr.strip()}")
    (width_a, bpp_a, a), (width_b, bpp_b, b) = read_png(real), read_png(yardstick)
    if (width_a, len(a)) != (width_b, len(b)):
        sys.exit(f"kalvoro painted {width_a}x{len(a)} pixels, the yardstick {width_b}x{len(b)} ({work})")
    if bpp_a != bpp_b:
        sys.exit(f"kalvoro's picture has {bpp_a} bytes a pixel, the yardstick's {bpp_b} ({work})")
    differ = [(x, y) for y in range(len(a)) if a[y] != b[y]
              for x in range(width_a) if a[y][x * bpp_a:(x + 1) * bpp_a] != b[y][x * bpp_a:(x + 1) * bpp_a]]
    if differ:
        xs, ys = [x for x, _ in differ], [y for _, y in differ]
        sys.exit(f"{len(differ)} pixels differ, from ({min(xs)}, {min(ys)}) to ({max(xs)}, {max(ys)}): "
                 f"see {real} and {yardstick}")
    print(f"the same {width_a}x{len(a)} pixels")


if __name__ == "__main__":
    main()
