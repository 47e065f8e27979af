#!/usr/bin/env python3
"""Draws the program's icon, data/Files/vantrelo.png: an open disc case with a printed
insert and a disc. Run from the repository root: /usr/bin/python3 tools/make-icon.py
(needs Debian's python3-pil). The picture is committed; the build does not run this."""
import sys
from PIL import Image, ImageDraw

SIZE = 256
SCALE = 4  # drawn large, then reduced, for smooth edges


def main(out="data/Files/vantrelo.png"):
    s = SIZE * SCALE
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    u = s / 256.0

    def box(x0, y0, x1, y1):
        return [x0 * u, y0 * u, x1 * u, y1 * u]

    # The case: a dark rounded body with a lighter spine strip.
    d.rounded_rectangle(box(28, 24, 204, 232), radius=14 * u, fill=(44, 62, 80, 255))
    d.rectangle(box(40, 24, 58, 232), fill=(64, 86, 108, 255))
    # The printed insert under the clear sleeve: a sky and a hill, with a title bar.
    d.rounded_rectangle(box(66, 38, 192, 218), radius=6 * u, fill=(250, 250, 246, 255))
    d.rectangle(box(74, 46, 184, 150), fill=(126, 186, 232, 255))
    d.polygon([(74 * u, 150 * u), (112 * u, 104 * u), (140 * u, 132 * u), (158 * u, 114 * u),
               (184 * u, 150 * u)], fill=(88, 160, 92, 255))
    d.ellipse(box(150, 58, 172, 80), fill=(246, 196, 66, 255))
    d.rectangle(box(84, 166, 174, 178), fill=(214, 64, 58, 255))
    d.rectangle(box(96, 188, 162, 194), fill=(170, 170, 170, 255))
    d.rectangle(box(96, 200, 150, 206), fill=(190, 190, 190, 255))
    # A disc sliding out at the right.
    d.ellipse(box(150, 96, 246, 192), fill=(214, 220, 228, 255), outline=(120, 130, 140, 255), width=int(3 * u))
    d.ellipse(box(166, 112, 230, 176), outline=(236, 240, 246, 255), width=int(4 * u))
    d.ellipse(box(188, 134, 208, 154), fill=(44, 62, 80, 255))
    img = img.resize((SIZE, SIZE), Image.LANCZOS)
    img.save(out, optimize=True)


if __name__ == "__main__":
    main(*sys.argv[1:])
