#!/usr/bin/python3
"""Draw the main window's background picture and the donation button.

Run from the repository root:

    /usr/bin/python3 tools/make-window-art.py

writes, into src/ui/main/art/ (embedded in the program at build time):

  background.png  the quiet picture stretched under the preview: a soft
                  blue-grey gradient with two faint disc outlines low on the
                  right, so the cover on top stays the thing one looks at;
  donate.png      toolbar button 2 (92 x 26 logical pixels, drawn at twice
                  that for 200 % screens): a pill with a heart and a few coins,
                  no words, so it suits every language.

The Tango icon library has neither picture; the other toolbar pictures come
from it at build time. Only Python's standard library is needed (the PNG
encoder below writes 8-bit RGBA), so this runs on any Debian machine. Shapes
are anti-aliased by sampling each pixel 4 x 4 times.
"""

from __future__ import annotations

import argparse
import math
import struct
import zlib
from pathlib import Path

REPO_ROOT = Path(__file__).resolve().parent.parent
BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def write_png(path: Path, width: int, height: int, rows: list[bytes]) -> None:
    """rows: one bytes object of width * 4 (RGBA) per row."""
    def chunk(kind: bytes, data: bytes) -> bytes:
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + r for r in rows)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(png)


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def background(width: int = 1200, height: int = 760) -> list[bytes]:
    top = (239, 242, 246)
    bottom = (221, 227, 235)
    ring = (196, 205, 218)
    cx, cy = width * 0.86, height * 1.02
    radii = [height * 0.46, height * 0.30, height * 0.09]
    rows = []
    for y in range(height):
        row = bytearray()
        base_row = mix(top, bottom, y / (height - 1))
        for x in range(width):
            d = math.hypot(x - cx, y - cy)
            # Soft outlines of a disc: its edge, its clamping ring and its hole.
            glow = sum(math.exp(-((d - r) / 2.2) ** 2) for r in radii)
            fill = 0.18 if d < radii[0] else 0.0
            c = mix(base_row, ring, min(1.0, 0.55 * glow + fill))
            dither = (BAYER4[y & 3][x & 3] + 0.5) / 16 - 0.5  # no bands in the gradient
            row += bytes(max(0, min(255, int(v + 0.5 + dither))) for v in c) + b"\xff"
        rows.append(bytes(row))
    return rows


def heart(px: float, py: float, cx: float, cy: float, size: float) -> bool:
    x = (px - cx) / size
    y = -(py - cy) / size + 0.25
    return (x * x + y * y - 1) ** 3 - x * x * y ** 3 <= 0


def rounded_pill(px, py, left, top, right, bottom) -> bool:
    r = (bottom - top) / 2
    cx = min(max(px, left + r), right - r)
    return (px - cx) ** 2 + (py - (top + r)) ** 2 <= r * r


def donate(width: int = 184, height: int = 52) -> list[bytes]:
    border = (196, 148, 62)
    fill_top, fill_bottom = (255, 249, 232), (247, 226, 178)
    red, red_edge = (214, 52, 58), (160, 30, 38)
    gold, gold_edge = (242, 196, 72), (170, 122, 30)
    coins = [(118 + i * 15, 32 - i * 6) for i in range(3)] + [(163, 30)]
    rows = []
    steps = [(i + 0.5) / 4 for i in range(4)]
    for y in range(height):
        row = bytearray()
        for x in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in steps:
                for sx in steps:
                    px, py = x + sx, y + sy
                    colour = None
                    if rounded_pill(px, py, 1, 1, width - 1, height - 1):
                        colour = border
                        if rounded_pill(px, py, 3, 3, width - 3, height - 3):
                            colour = mix(fill_top, fill_bottom, py / height)
                    if heart(px, py, 52, 25, 16.5):
                        colour = red_edge
                        if heart(px, py, 52, 25, 14.5):
                            colour = mix(red, (240, 110, 110), max(0.0, 1 - math.hypot(px - 45, py - 17) / 14))
                    for cx, cy in coins:
                        dx, dy = (px - cx) / 13, (py - cy) / 9
                        if dx * dx + dy * dy <= 1:
                            inner = dx * dx * 1.35 + dy * dy * 1.35 <= 1
                            colour = gold if inner else gold_edge
                    if colour is not None:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 1
            n = acc[3]
            if n == 0:
                row += b"\x00\x00\x00\x00"
            else:
                row += bytes(int(v / n + 0.5) for v in acc[:3]) + bytes([int(255 * n / 16 + 0.5)])
        rows.append(bytes(row))
    return rows


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", type=Path, default=REPO_ROOT / "src" / "ui" / "main" / "art")
    args = parser.parse_args()
    write_png(args.output / "background.png", 1200, 760, background())
    write_png(args.output / "donate.png", 184, 52, donate())


if __name__ == "__main__":
    main()
