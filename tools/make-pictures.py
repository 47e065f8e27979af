#!/usr/bin/env python3
"""Draws the program's own menu pictures (the subjects the Tango icon library lacks) and
the two pictures of the about box, in the style of the program's icon: flat shapes with
a darker outline, the case's slate blue, the insert's sky and hill, silver discs.

Run from the repository root: /usr/bin/python3 tools/make-pictures.py (needs Debian's
python3-pil). The pictures are committed under src/ui/pictures/ and embedded by the
build; the build does not run this script.

Every picture is drawn on a 64-unit square (or the about picture's 150 x 120 units) at
eight times the target size, then reduced, so the 16-pixel and 32-pixel menu pictures
(100 % and 200 % screens) and the double-size about pictures all come from one drawing."""
import os
import sys
from PIL import Image, ImageDraw

SS = 8  # supersampling

SLATE = (44, 62, 80, 255)
SLATE_LIGHT = (64, 86, 108, 255)
OUTLINE = (30, 40, 52, 255)
PAPER = (250, 250, 246, 255)
SKY = (126, 186, 232, 255)
HILL = (88, 160, 92, 255)
SUN = (246, 196, 66, 255)
RED = (214, 64, 58, 255)
SILVER = (214, 220, 228, 255)
SILVER_EDGE = (120, 130, 140, 255)
SHINE = (240, 244, 250, 255)


class Canvas:
    def __init__(self, w, h, px_w, px_h):
        self.sx = px_w * SS / w
        self.sy = px_h * SS / h
        self.img = Image.new("RGBA", (px_w * SS, px_h * SS), (0, 0, 0, 0))
        self.d = ImageDraw.Draw(self.img)
        self.size = (px_w, px_h)

    def p(self, x, y):
        return (x * self.sx, y * self.sy)

    def box(self, x0, y0, x1, y1):
        return [x0 * self.sx, y0 * self.sy, x1 * self.sx, y1 * self.sy]

    def w(self, units):
        return max(1, int(round(units * self.sx)))

    def rect(self, x0, y0, x1, y1, fill, outline=None, width=1.5, radius=0):
        if radius:
            self.d.rounded_rectangle(self.box(x0, y0, x1, y1), radius=radius * self.sx, fill=fill,
                                     outline=outline, width=self.w(width) if outline else 0)
        else:
            self.d.rectangle(self.box(x0, y0, x1, y1), fill=fill, outline=outline,
                             width=self.w(width) if outline else 0)

    def circle(self, cx, cy, r, fill=None, outline=None, width=1.5):
        self.d.ellipse(self.box(cx - r, cy - r, cx + r, cy + r), fill=fill, outline=outline,
                       width=self.w(width) if outline else 0)

    def poly(self, pts, fill):
        self.d.polygon([self.p(x, y) for x, y in pts], fill=fill)

    def line(self, pts, fill, width):
        self.d.line([self.p(x, y) for x, y in pts], fill=fill, width=self.w(width))

    def result(self):
        return self.img.resize(self.size, Image.LANCZOS)


def insert_picture(c, x0, y0, x1, y1, title=True):
    """The printed insert of the program's icon: sky, hill, sun and a red title bar."""
    c.rect(x0, y0, x1, y1, PAPER)
    w, h = x1 - x0, y1 - y0
    c.rect(x0 + w * 0.08, y0 + h * 0.06, x1 - w * 0.08, y0 + h * 0.62, SKY)
    c.poly([(x0 + w * 0.08, y0 + h * 0.62), (x0 + w * 0.38, y0 + h * 0.36), (x0 + w * 0.6, y0 + h * 0.52),
            (x0 + w * 0.74, y0 + h * 0.42), (x1 - w * 0.08, y0 + h * 0.62)], HILL)
    c.circle(x0 + w * 0.72, y0 + h * 0.2, min(w, h) * 0.09, SUN)
    if title:
        c.rect(x0 + w * 0.18, y0 + h * 0.72, x1 - w * 0.18, y0 + h * 0.82, RED)


def disc(c, cx, cy, r, colour=SILVER, edge=SILVER_EDGE, ring=SHINE):
    c.circle(cx, cy, r, colour, edge, width=max(1.5, r * 0.08))
    c.circle(cx, cy, r * 0.66, None, ring, width=max(1.2, r * 0.1))
    c.circle(cx, cy, r * 0.3, (255, 255, 255, 255), edge, width=max(1.0, r * 0.05))
    c.circle(cx, cy, r * 0.14, (0, 0, 0, 0))


def case_disc(c):
    # A closed keep case, seen from the front: slate body, lighter spine, insert.
    c.rect(10, 3, 54, 61, SLATE, OUTLINE, width=2.5, radius=4)
    c.rect(12, 4.5, 17, 59.5, SLATE_LIGHT)
    insert_picture(c, 20, 8, 50, 56)


def case_book_open(c):
    # An opened book-style case: the disc holder at the left, the insert at the right.
    c.rect(2, 10, 62, 56, SLATE, OUTLINE, width=2.5, radius=3)
    c.rect(30, 11, 34, 55, SLATE_LIGHT)
    disc(c, 16, 33, 11)
    insert_picture(c, 37, 14, 59, 52)


def video_tape(c):
    c.rect(3, 14, 61, 52, (40, 40, 44, 255), OUTLINE, width=2.5, radius=3)
    c.rect(10, 18, 54, 30, PAPER)
    c.rect(13, 21, 51, 24, RED)
    c.rect(16, 34, 48, 47, (90, 90, 96, 255))
    c.circle(23, 40.5, 5.5, (230, 230, 230, 255), (20, 20, 20, 255), width=1.5)
    c.circle(41, 40.5, 5.5, (230, 230, 230, 255), (20, 20, 20, 255), width=1.5)
    c.circle(23, 40.5, 2, (40, 40, 44, 255))
    c.circle(41, 40.5, 2, (40, 40, 44, 255))


def disc_blue(c):
    disc(c, 32, 32, 28, colour=(70, 120, 210, 255), edge=(32, 64, 140, 255), ring=(150, 190, 250, 255))


def discs_several(c):
    disc(c, 20, 22, 17)
    disc(c, 44, 26, 17)
    disc(c, 30, 44, 17)


def console_handheld(c):
    c.rect(3, 16, 61, 50, (60, 64, 72, 255), OUTLINE, width=2.5, radius=10)
    c.rect(19, 21, 45, 45, (30, 34, 40, 255))
    c.rect(21, 23, 43, 43, SKY)
    c.poly([(21, 43), (29, 33), (35, 39), (38, 36), (43, 43)], HILL)
    # cross pad and two buttons
    c.rect(8, 30.5, 16, 35.5, (210, 210, 214, 255))
    c.rect(9.5, 29, 14.5, 37, (210, 210, 214, 255))
    c.circle(51, 30, 3, RED)
    c.circle(55.5, 36, 3, SUN)


MENU_PICTURES = {
    "case-book-open": case_book_open,
    "case-disc": case_disc,
    "video-tape": video_tape,
    "disc-blue": disc_blue,
    "discs-several": discs_several,
    "console-handheld": console_handheld,
}


def about_title(c):
    # The icon's motif: the case with its insert and a disc sliding out.
    c.rect(4, 6, 46, 58, SLATE, OUTLINE, width=2, radius=4)
    c.rect(7, 7.5, 11, 56.5, SLATE_LIGHT)
    insert_picture(c, 14, 10, 42, 54)
    disc(c, 46, 34, 15)


def about_picture(c):
    # A sheet with a slim-case cover laid out for cutting, and the finished case beside it.
    c.rect(6, 8, 92, 112, PAPER, SILVER_EDGE, width=1.2)
    c.rect(14, 22, 84, 70, SKY)
    c.poly([(14, 70), (34, 46), (48, 60), (60, 50), (84, 70)], HILL)
    c.circle(70, 33, 5, SUN)
    c.rect(46, 22, 52, 70, (255, 255, 255, 140))
    dash = 4
    for x in range(14, 84, dash * 2):
        c.line([(x, 74), (min(x + dash, 84), 74)], SILVER_EDGE, 0.8)
        c.line([(x, 18), (min(x + dash, 84), 18)], SILVER_EDGE, 0.8)
    c.rect(20, 82, 78, 86, (200, 200, 200, 255))
    c.rect(20, 92, 64, 96, (215, 215, 215, 255))
    c.rect(20, 100, 70, 104, (215, 215, 215, 255))
    # the finished case, and its disc
    c.rect(96, 30, 140, 96, SLATE, OUTLINE, width=2, radius=4)
    c.rect(99, 31.5, 103, 94.5, SLATE_LIGHT)
    insert_picture(c, 106, 34, 136, 92)
    disc(c, 124, 100, 16)


def save(img, path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, optimize=True)


def main(out="src/ui/pictures"):
    for name, draw in MENU_PICTURES.items():
        for px in (16, 32):
            c = Canvas(64, 64, px, px)
            draw(c)
            save(c.result(), f"{out}/menu/{px}/{name}.png")
    for scale, suffix in ((1, ""), (2, "@2x")):
        c = Canvas(64, 64, 64 * scale, 64 * scale)
        about_title(c)
        save(c.result(), f"{out}/about/title{suffix}.png")
        c = Canvas(150, 120, 150 * scale, 120 * scale)
        about_picture(c)
        save(c.result(), f"{out}/about/picture{suffix}.png")


if __name__ == "__main__":
    main(*sys.argv[1:])
