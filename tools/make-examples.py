#!/usr/bin/python3
"""Draw the example projects and their artwork.

Run from the repository root:

    /usr/bin/python3 tools/make-examples.py

By default the sizes are read from data/Files/Covers.ini and three example
projects, each with its pictures beside it, are written into examples/,
replacing earlier ones.  Options:

    --catalogue PATH   format catalogue to read the millimetre sizes from
    --output DIR       folder that receives the projects and pictures
    --dpi N            resolution at true size (150 or more, default 150)
    --quality N        JPEG quality to start from (default 85)
    --max-kb N         largest picture file allowed, in KiB (default 300);
                       a picture that comes out larger is saved again at a
                       lower quality
    --preview DIR      also write PNG previews with the titles laid on top
                       roughly where the program puts them, to judge
                       whether the title colours read well

Needs Python 3 with Pillow (Debian: python3-pil).  The previews need the
Liberation fonts from /usr/share/fonts (fonts-liberation); the projects name
Liberation Sans and Liberation Serif, so the program looks best with them
installed too.  The projects and pictures are committed to the repository, so
this script is only needed when the catalogue sizes or the artwork change; the
build does not run it.

All artwork is drawn here from gradients and simple shapes, with a fixed
random seed so that every run gives the same pictures.  No title text is
drawn into the pictures: the program writes the titles itself, and the
artwork keeps those places quiet (front title: top at 1/7 of the height, or
1/5 on jewel-case fronts; spine title: along the vertical centre line of a
one-sheet wrap, or in the 7/151-wide side strips of a jewel-case back sheet).
"""

from __future__ import annotations

import argparse
import math
import os
import random
import sys
from dataclasses import dataclass
from pathlib import Path

from catalogue import CoverFormat, px_for_mm, read_catalogue

try:
    from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont
except ImportError:  # pragma: no cover - depends on the machine
    sys.exit("make-examples: Pillow is missing; install it with "
             "'apt-get install python3-pil' and run again.")

REPO_ROOT = Path(__file__).resolve().parent.parent
DEFAULT_CATALOGUE = REPO_ROOT / "data" / "Files" / "Covers.ini"
DEFAULT_OUTPUT = REPO_ROOT / "examples"

# Everything is drawn at this multiple of the final size and scaled down at
# the end; Pillow draws polygons and circles without smoothing.
SUPERSAMPLE = 2

# Below this JPEG quality the gradients start to show blocks; a picture that
# still does not fit the size limit there is an error, not a silent mess.
LOWEST_QUALITY = 60

# ---------------------------------------------------------------------------
# Cover geometry that the catalogue does not hold.
# ---------------------------------------------------------------------------

# A DVD keep-case wrap: back, a 14 mm spine in the middle, front.
DVD_SPINE_MM = 14.0

# The jewel-case back sheet folds a strip of 7 mm along each short side of its
# 151 mm width into the case spines; the program writes the spine title into
# bands of 7/151 of the picture width at both edges.
JEWEL_STRIP_SHARE = 7.0 / 151.0

# Disc labels: the centre hole stays white (nothing prints there anyway) and
# a faint ring marks the hub.
DISC_HOLE_MM = 15.0
DISC_HUB_MM = 22.0

# Where the program puts the top of the front title, as a share of the
# picture height.
TITLE_TOP_SEVENTH = 1 / 7
TITLE_TOP_FIFTH = 1 / 5

# The program sizes title fonts in pixels relative to the picture height:
# floor(height / 311 * size) for the spine, size + 2 for the front.
TITLE_FONT_BASE = 311.0

FORMAT_DVD = 0
FORMAT_JEWEL = 3
FORMAT_THREE_MINI_LABELS = 14

# ---------------------------------------------------------------------------
# Colours
# ---------------------------------------------------------------------------

Colour = tuple[int, int, int]


def hex_colour(text: str) -> Colour:
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16))


def mix(a: Colour, b: Colour, t: float) -> Colour:
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def colour_ref(colour: Colour) -> int:
    """The title colour as the project file stores it: red in the low byte,
    then green, then blue, read as a signed 32-bit number."""
    r, g, b = colour
    value = r | (g << 8) | (b << 16)
    return value - (1 << 32) if value >= 1 << 31 else value


# ---------------------------------------------------------------------------
# Drawing surface
# ---------------------------------------------------------------------------


class Canvas:
    """A picture of a paper insert, addressed in millimetres.

    The final size is round(mm / 25.4 * dpi) pixels each way; drawing happens
    on a canvas SUPERSAMPLE times larger, with separate x and y scales so that
    millimetre positions land exactly on the final proportions.
    """

    def __init__(self, width_mm: float, height_mm: float, dpi: int,
                 background: Colour = (255, 255, 255)) -> None:
        self.width_mm = width_mm
        self.height_mm = height_mm
        self.out_w = px_for_mm(width_mm, dpi)
        self.out_h = px_for_mm(height_mm, dpi)
        self.w = self.out_w * SUPERSAMPLE
        self.h = self.out_h * SUPERSAMPLE
        self.sx = self.w / width_mm
        self.sy = self.h / height_mm
        self.image = Image.new("RGB", (self.w, self.h), background)

    def x(self, mm: float) -> float:
        return mm * self.sx

    def y(self, mm: float) -> float:
        return mm * self.sy

    def s(self, mm: float) -> float:
        """A length that is not tied to an axis (line widths, radii)."""
        return mm * min(self.sx, self.sy)

    def pts(self, points_mm) -> list[tuple[float, float]]:
        return [(self.x(px), self.y(py)) for px, py in points_mm]

    # -- building blocks -----------------------------------------------------

    def vertical_gradient(self, stops: list[tuple[float, Colour]],
                          y0_mm: float = 0.0,
                          y1_mm: float | None = None) -> Image.Image:
        """An image the size of the canvas, filled with a top-to-bottom
        gradient through the given (position 0..1, colour) stops between
        y0 and y1; above and below it the end colours continue."""
        if y1_mm is None:
            y1_mm = self.height_mm
        top, bottom = self.y(y0_mm), self.y(y1_mm)
        column = Image.new("RGB", (1, self.h))
        span = max(1.0, bottom - top)
        for row in range(self.h):
            t = min(1.0, max(0.0, (row - top) / span))
            for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
                if t <= p1 or (p1, c1) == stops[-1]:
                    local = 0.0 if p1 == p0 else (t - p0) / (p1 - p0)
                    column.putpixel((0, row), mix(c0, c1,
                                                  min(1.0, max(0.0, local))))
                    break
        return column.resize((self.w, self.h), Image.Resampling.NEAREST)

    def mask(self) -> tuple[Image.Image, ImageDraw.ImageDraw]:
        m = Image.new("L", (self.w, self.h), 0)
        return m, ImageDraw.Draw(m)

    def paint(self, fill, mask: Image.Image) -> None:
        """Lay a colour or a full-size image on the canvas through a mask."""
        if isinstance(fill, tuple):
            fill = Image.new("RGB", (self.w, self.h), fill)
        self.image.paste(fill, (0, 0), mask)

    def glow(self, cx_mm: float, cy_mm: float, r_mm: float, colour: Colour,
             strength: float, blur_mm: float) -> None:
        """A soft round light, e.g. the haze around a low sun."""
        m, d = self.mask()
        cx, cy, r = self.x(cx_mm), self.y(cy_mm), self.s(r_mm)
        d.ellipse([cx - r, cy - r, cx + r, cy + r],
                  fill=int(255 * strength))
        m = m.filter(ImageFilter.GaussianBlur(self.s(blur_mm)))
        self.paint(colour, m)

    def save(self, path: Path, dpi: int, quality: int,
             max_bytes: int) -> tuple[tuple[int, int], int]:
        """Scale down, save as JPEG and return the pixel size and the quality
        that was used.  Steps the quality down until the file fits."""
        final = self.image.resize((self.out_w, self.out_h),
                                  Image.Resampling.LANCZOS)
        path.parent.mkdir(parents=True, exist_ok=True)
        q = quality
        while True:
            final.save(path, "JPEG", quality=q, optimize=True,
                       progressive=False, dpi=(dpi, dpi))
            if path.stat().st_size <= max_bytes:
                return final.size, q
            if q - 5 < LOWEST_QUALITY:
                sys.exit(f"make-examples: {path} is still "
                         f"{path.stat().st_size // 1024} KiB at JPEG quality "
                         f"{q}; simplify the artwork or raise --max-kb.")
            q -= 5


def ridge(rng: random.Random, x0: float, x1: float, base: float,
          amplitude: float, waves: int, steps: int = 240
          ) -> list[tuple[float, float]]:
    """A hill line (mm) from x0 to x1: a few sine waves of random phase added
    up around the height `base`, smooth enough to read as distant hills."""
    parts = [(rng.uniform(0.6, 1.0) / (k + 1), rng.uniform(0, 2 * math.pi),
              (k + 1) * rng.uniform(0.8, 1.25)) for k in range(waves)]
    total = sum(a for a, _p, _f in parts)
    line = []
    for i in range(steps + 1):
        x = x0 + (x1 - x0) * i / steps
        t = (x - x0) / (x1 - x0)
        v = sum(a * math.sin(2 * math.pi * f * t * 2 + p)
                for a, p, f in parts) / total
        line.append((x, base - amplitude * v))
    return line


def wave_line(x0: float, x1: float, base: float, amplitude: float,
              wavelength: float, phase: float, steps: int = 200
              ) -> list[tuple[float, float]]:
    """A regular sine line (mm), used for the sea bands."""
    line = []
    for i in range(steps + 1):
        x = x0 + (x1 - x0) * i / steps
        line.append((x, base + amplitude
                     * math.sin(2 * math.pi * x / wavelength + phase)))
    return line


# ---------------------------------------------------------------------------
# Example 1: DVD case wrap, an evening landscape across back, spine and front
# ---------------------------------------------------------------------------

DUSK_SKY = [
    (0.00, hex_colour("16203f")),
    (0.35, hex_colour("2b3566")),
    (0.62, hex_colour("6a5a8c")),
    (0.80, hex_colour("d98e73")),
    (1.00, hex_colour("f2c48d")),
]
DUSK_HILLS = [  # far to near
    hex_colour("8c6f93"),
    hex_colour("5c4c77"),
    hex_colour("3a3560"),
    hex_colour("232444"),
]
DUSK_WATER_TOP = hex_colour("3b3d68")
DUSK_WATER_BOTTOM = hex_colour("151a33")
DUSK_SUN = hex_colour("ffe2a8")
DUSK_SPINE = hex_colour("121830")
DUSK_GOLD = hex_colour("f2d98b")


def dvd_wrap(width_mm: float, height_mm: float, dpi: int) -> Canvas:
    c = Canvas(width_mm, height_mm, dpi)
    rng = random.Random(20240611)
    horizon = height_mm * 0.66
    spine_left = (width_mm - DVD_SPINE_MM) / 2
    spine_right = spine_left + DVD_SPINE_MM
    front_mid = (spine_right + width_mm) / 2

    # Sky down to the horizon; the warm part stays low so the upper third,
    # where the front title goes, is an even deep blue.
    c.image = c.vertical_gradient(DUSK_SKY, 0, horizon)

    # A handful of faint stars, kept out of the front title band and away
    # from the spine so neither title has to compete with them.
    d = ImageDraw.Draw(c.image)
    title_band = (height_mm * TITLE_TOP_SEVENTH - 6,
                  height_mm * TITLE_TOP_SEVENTH + 18)
    for _ in range(70):
        sx, sy = rng.uniform(3, width_mm - 3), rng.uniform(3, horizon * 0.45)
        if spine_left - 6 < sx < spine_right + 6:
            continue
        if sx > spine_right and title_band[0] < sy < title_band[1]:
            continue
        r = c.s(rng.uniform(0.18, 0.38))
        shade = mix(DUSK_SKY[0][1], (255, 246, 225), rng.uniform(0.45, 0.9))
        d.ellipse([c.x(sx) - r, c.y(sy) - r, c.x(sx) + r, c.y(sy) + r],
                  fill=shade)

    # A low sun on the front, well under the title, just touching the far
    # hills.
    sun_x, sun_y = front_mid + 18, horizon - 21
    c.glow(sun_x, sun_y, 30, hex_colour("f6b989"), 0.45, 14)
    c.glow(sun_x, sun_y, 6.5, DUSK_SUN, 1.0, 0.6)

    # Four ranges of hills, paler with distance.
    bases = [horizon - 14, horizon - 7, horizon - 2, horizon + 1]
    amplitudes = [9, 8, 6, 3.5]
    for colour, base, amp in zip(DUSK_HILLS, bases, amplitudes):
        line = ridge(rng, -5, width_mm + 5, base, amp, waves=4)
        m, md = c.mask()
        md.polygon(c.pts(line + [(width_mm + 5, horizon + 2),
                                 (-5, horizon + 2)]), fill=255)
        c.paint(colour, m)

    # The lake: a darker copy of the sky, upside down, with a path of light
    # under the sun.
    water = c.vertical_gradient([(0.0, DUSK_WATER_TOP),
                                 (1.0, DUSK_WATER_BOTTOM)],
                                horizon + 1, height_mm)
    m, md = c.mask()
    md.rectangle([0, c.y(horizon + 1), c.w, c.h], fill=255)
    c.paint(water, m)
    # Thin, uneven glints that widen towards the viewer, blurred a little
    # so they read as light on water rather than as rungs of a ladder.
    m, md = c.mask()
    y = horizon + 2.0
    while y < height_mm - 3:
        depth = (y - horizon) / (height_mm - horizon)
        spread = 3 + depth * 16
        for _ in range(2):
            half = spread * rng.uniform(0.15, 0.6)
            centre = sun_x + rng.uniform(-spread, spread) * 0.45
            md.rectangle([c.x(centre - half), c.y(y),
                          c.x(centre + half), c.y(y + 0.25 + 0.35 * depth)],
                         fill=int(170 * (1 - 0.8 * depth)))
        y += rng.uniform(0.7, 1.6) + 1.2 * depth
    c.paint(hex_colour("f4c99a"), m.filter(ImageFilter.GaussianBlur(c.s(0.5))))

    # A few birds far off over the back panel.
    d = ImageDraw.Draw(c.image)
    for bx, by, size in ((38, 60, 2.6), (44, 57, 2.0), (49, 62, 1.7),
                         (31, 64, 1.5)):
        d.line(c.pts([(bx - size, by - size * 0.35), (bx, by),
                      (bx + size, by - size * 0.45)]),
               fill=hex_colour("2a2c52"), width=max(1, int(c.s(0.35))),
               joint="curve")

    # The spine: a quiet dark band, slightly see-through, with a thin gold
    # rule close to each fold so the spine title has a calm ground.
    band = Image.new("RGB", (c.w, c.h), DUSK_SPINE)
    m, md = c.mask()
    md.rectangle([c.x(spine_left), 0, c.x(spine_right), c.h], fill=215)
    c.paint(band, m)
    d = ImageDraw.Draw(c.image)
    for rule_x in (spine_left + 1.3, spine_right - 1.3):
        d.rectangle([c.x(rule_x) - c.s(0.15), c.y(6),
                     c.x(rule_x) + c.s(0.15), c.y(height_mm - 6)],
                    fill=mix(DUSK_SPINE, DUSK_GOLD, 0.55))
    return c


# ---------------------------------------------------------------------------
# Example 2: jewel case, front and back sheet, sea bands
# ---------------------------------------------------------------------------

TIDE_SKY = [
    (0.00, hex_colour("0d2233")),
    (0.55, hex_colour("174158")),
    (1.00, hex_colour("2c6f7e")),
]
TIDE_BANDS = [  # upper (far) to lower (near)
    hex_colour("23606f"),
    hex_colour("1c5264"),
    hex_colour("164558"),
    hex_colour("11384b"),
    hex_colour("0c2b3c"),
]
TIDE_CREST = hex_colour("cfe3dc")
TIDE_MOON = hex_colour("f1e6c8")
TIDE_STRIP = hex_colour("0a1e2b")
TIDE_CREAM = hex_colour("f4ebd0")


def sea_bands(c: Canvas, x0: float, x1: float, top: float, bottom: float,
              rng: random.Random) -> None:
    """Bands of sea from `top` to `bottom`, each edged with a pale crest."""
    count = len(TIDE_BANDS)
    for i, colour in enumerate(TIDE_BANDS):
        base = top + (bottom - top) * i / count
        amplitude = 0.9 + 0.5 * i
        wavelength = rng.uniform(26, 38) + 6 * i
        phase = rng.uniform(0, 2 * math.pi)
        line = wave_line(x0 - 2, x1 + 2, base, amplitude, wavelength, phase)
        m, md = c.mask()
        md.polygon(c.pts(line + [(x1 + 2, c.height_mm + 2),
                                 (x0 - 2, c.height_mm + 2)]), fill=255)
        c.paint(colour, m)
        crest, cd = c.mask()
        cd.line(c.pts(line), fill=int(150 - 18 * i),
                width=max(1, int(c.s(0.35))), joint="curve")
        c.paint(TIDE_CREST, crest)


def jewel_front(width_mm: float, height_mm: float, dpi: int) -> Canvas:
    c = Canvas(width_mm, height_mm, dpi)
    rng = random.Random(7051)
    c.image = c.vertical_gradient(TIDE_SKY, 0, height_mm * 0.62)
    # The moon sits right of centre between the title (top at 1/5) and the
    # sea, so the centred title has open sky around it.
    moon_x, moon_y = width_mm * 0.66, height_mm * 0.46
    c.glow(moon_x, moon_y, 16, hex_colour("4f8a93"), 0.35, 9)
    c.glow(moon_x, moon_y, 8, TIDE_MOON, 1.0, 0.12)
    sea_bands(c, 0, width_mm, height_mm * 0.60, height_mm * 0.98, rng)
    return c


def jewel_back(width_mm: float, height_mm: float, dpi: int) -> Canvas:
    c = Canvas(width_mm, height_mm, dpi)
    rng = random.Random(7052)
    strip = width_mm * JEWEL_STRIP_SHARE
    c.image = c.vertical_gradient(TIDE_SKY, 0, height_mm * 0.7)
    sea_bands(c, 0, width_mm, height_mm * 0.70, height_mm * 1.02, rng)
    # The side strips fold into the case spines: plain and dark, so the
    # spine title printed along them reads clearly, with a fine pale line
    # just inside each fold as a guide.
    d = ImageDraw.Draw(c.image)
    d.rectangle([0, 0, c.x(strip), c.h], fill=TIDE_STRIP)
    d.rectangle([c.x(width_mm - strip), 0, c.w, c.h], fill=TIDE_STRIP)
    rule = mix(TIDE_STRIP, TIDE_CREST, 0.35)
    for fold in (strip, width_mm - strip):
        d.rectangle([c.x(fold) - c.s(0.12), 0, c.x(fold) + c.s(0.12), c.h],
                    fill=rule)
    return c


# ---------------------------------------------------------------------------
# Example 3: three mini disc labels, dusk, night and dawn
# ---------------------------------------------------------------------------


def disc_base(diameter_mm: float, dpi: int, sky: list[tuple[float, Colour]]
              ) -> tuple[Canvas, Image.Image]:
    """A square canvas, white outside the disc, with the sky gradient inside.
    Returns the canvas and the disc mask (for clipping later layers)."""
    c = Canvas(diameter_mm, diameter_mm, dpi)
    disc, dd = c.mask()
    dd.ellipse([0, 0, c.w - 1, c.h - 1], fill=255)
    c.paint(c.vertical_gradient(sky), disc)
    return c, disc


def disc_finish(c: Canvas, disc: Image.Image, ring: Colour) -> None:
    """White centre hole and a faint hub ring, drawn last over the artwork."""
    mid = c.width_mm / 2
    d = ImageDraw.Draw(c.image)
    r = c.s(DISC_HUB_MM / 2)
    d.ellipse([c.x(mid) - r, c.y(mid) - r, c.x(mid) + r, c.y(mid) + r],
              outline=ring, width=max(1, int(c.s(0.3))))
    r = c.s(DISC_HOLE_MM / 2)
    d.ellipse([c.x(mid) - r, c.y(mid) - r, c.x(mid) + r, c.y(mid) + r],
              fill=(255, 255, 255))
    # Anything a layer drew outside the disc is cleared back to white.
    outside = ImageChops.invert(disc)
    c.paint((255, 255, 255), outside)


def clipped(c: Canvas, disc: Image.Image, m: Image.Image) -> Image.Image:
    return ImageChops.multiply(m, disc)


def disc_dusk(diameter_mm: float, dpi: int) -> Canvas:
    """Soft rings spreading from below the hub, violet into rose."""
    c, disc = disc_base(diameter_mm, dpi, [
        (0.00, hex_colour("2a2150")),
        (0.45, hex_colour("4d3a78")),
        (1.00, hex_colour("b86f8a")),
    ])
    mid = diameter_mm / 2
    cy = diameter_mm * 0.78
    # Seven rings reach up to about a third of the way down the disc, which
    # leaves the title line at 1/7 on plain sky.
    for i in range(7, 0, -1):
        r = 5.5 * i
        m, md = c.mask()
        md.ellipse([c.x(mid - r), c.y(cy - r), c.x(mid + r), c.y(cy + r)],
                   outline=int(40 + 8 * (7 - i)), width=max(1, int(c.s(1.1))))
        c.paint(hex_colour("f3b3b8"), clipped(c, disc,
                                              m.filter(ImageFilter.GaussianBlur(
                                                  c.s(0.4)))))
    disc_finish(c, disc, hex_colour("8b6a9e"))
    return c


def disc_night(diameter_mm: float, dpi: int) -> Canvas:
    """A night sky with a crescent moon and scattered stars."""
    c, disc = disc_base(diameter_mm, dpi, [
        (0.00, hex_colour("0f1733")),
        (1.00, hex_colour("24386b")),
    ])
    rng = random.Random(31)
    mid = diameter_mm / 2
    # Stars only below the title line (top at 1/7, about a tenth of the
    # diameter high), so the title sits on plain sky.
    title_bottom = diameter_mm * TITLE_TOP_SEVENTH + 8
    # No stars where the moon is: its dark side hides them.
    mx, my, mr = diameter_mm * 0.70, diameter_mm * 0.62, 6.5
    d = ImageDraw.Draw(c.image)
    for _ in range(90):
        sx, sy = rng.uniform(2, diameter_mm - 2), rng.uniform(2, diameter_mm - 2)
        if sy < title_bottom or math.hypot(sx - mid, sy - mid) > mid - 2:
            continue
        if math.hypot(sx - mid, sy - mid) < DISC_HUB_MM / 2 + 1:
            continue
        if math.hypot(sx - mx, sy - my) < mr + 3:
            continue
        r = c.s(rng.uniform(0.15, 0.42))
        d.ellipse([c.x(sx) - r, c.y(sy) - r, c.x(sx) + r, c.y(sy) + r],
                  fill=mix(hex_colour("24386b"), (255, 250, 235),
                           rng.uniform(0.5, 0.95)))
    # The crescent: the moon's disc with an offset disc taken out of it, so
    # the night sky and its haze show through where the shadow is.
    c.glow(mx, my, mr * 2.2, hex_colour("3d5590"), 0.5, 5)
    moon, md = c.mask()
    md.ellipse([c.x(mx - mr), c.y(my - mr), c.x(mx + mr), c.y(my + mr)],
               fill=255)
    ox, oy = mx - 3.0, my - 1.6
    md.ellipse([c.x(ox - mr), c.y(oy - mr), c.x(ox + mr), c.y(oy + mr)],
               fill=0)
    c.paint(hex_colour("f3ead2"), moon)
    disc_finish(c, disc, hex_colour("3f5387"))
    return c


def disc_dawn(diameter_mm: float, dpi: int) -> Canvas:
    """Dawn over low hills: a deep blue top turning to amber at the rim."""
    c, disc = disc_base(diameter_mm, dpi, [
        (0.00, hex_colour("1f2a4d")),
        (0.40, hex_colour("4a4673")),
        (0.70, hex_colour("c7806a")),
        (1.00, hex_colour("f0c07e")),
    ])
    rng = random.Random(77)
    mid = diameter_mm / 2
    c.glow(mid + 12, diameter_mm * 0.74, 16, hex_colour("ffd59a"), 0.55, 6)
    c.glow(mid + 12, diameter_mm * 0.74, 4.5, hex_colour("fff0c8"), 1.0, 0.3)
    for colour, base, amp in ((hex_colour("7d5a78"), diameter_mm * 0.76, 3),
                              (hex_colour("4b3a5e"), diameter_mm * 0.82, 2.5),
                              (hex_colour("2d2744"), diameter_mm * 0.88, 2)):
        line = ridge(rng, -2, diameter_mm + 2, base, amp, waves=3)
        m, md = c.mask()
        md.polygon(c.pts(line + [(diameter_mm + 2, diameter_mm + 2),
                                 (-2, diameter_mm + 2)]), fill=255)
        c.paint(colour, clipped(c, disc, m))
    disc_finish(c, disc, hex_colour("8a6c86"))
    return c


# ---------------------------------------------------------------------------
# Project files
# ---------------------------------------------------------------------------


@dataclass
class Project:
    file_name: str
    pictures: list[str]        # up to three file names, "" for an empty slot
    outline: bool
    cover_text: str
    spine_text: str
    font_name: str
    font_size: int
    bold: bool
    italic: bool
    underline: bool
    colour: Colour
    title_on_cover: bool
    title_on_spine: bool
    format_index: int


def number_line(value: int) -> str:
    """Numbers are written with a blank before (a minus sign instead when
    negative) and a blank after; that is what the program writes and reads."""
    return (" " if value >= 0 else "") + str(value) + " "


def project_bytes(p: Project) -> bytes:
    slots = (p.pictures + ["", "", ""])[:3]
    lines = [
        *slots,
        number_line(int(p.outline)),
        p.cover_text,
        p.spine_text,
        p.font_name,
        str(p.font_size),
        number_line(int(p.bold)),
        number_line(int(p.italic)),
        number_line(int(p.underline)),
        number_line(colour_ref(p.colour)),
        number_line(int(p.title_on_cover)),
        number_line(int(p.title_on_spine)),
        number_line(p.format_index),
    ]
    return "".join(line + "\r\n" for line in lines).encode("utf-8")


# ---------------------------------------------------------------------------
# Previews: the titles laid over the pictures, roughly as the program does it
# ---------------------------------------------------------------------------

FONT_DIR = Path("/usr/share/fonts")
FONT_FILES = {
    ("Liberation Sans", False): "LiberationSans-Regular.ttf",
    ("Liberation Sans", True): "LiberationSans-Bold.ttf",
    ("Liberation Serif", False): "LiberationSerif-Regular.ttf",
    ("Liberation Serif", True): "LiberationSerif-Bold.ttf",
}


def find_font_file(name: str) -> Path | None:
    for dirpath, _dirs, files in os.walk(FONT_DIR):
        if name in files:
            return Path(dirpath) / name
    return None


def preview_font(p: Project, pixels: int) -> ImageFont.FreeTypeFont:
    file_name = FONT_FILES.get((p.font_name, p.bold))
    path = find_font_file(file_name) if file_name else None
    if path is None:
        sys.exit(f"make-examples: the font file for {p.font_name} was not "
                 f"found under {FONT_DIR}; install it with 'apt-get install "
                 "fonts-liberation' or leave out --preview.")
    return ImageFont.truetype(str(path), max(1, pixels))


def text_strip(text: str, font: ImageFont.FreeTypeFont,
               colour: Colour) -> Image.Image:
    """The text on a transparent strip as tall as the font's line."""
    ascent, descent = font.getmetrics()
    width = int(math.ceil(font.getlength(text)))
    strip = Image.new("RGBA", (max(1, width), ascent + descent), (0, 0, 0, 0))
    ImageDraw.Draw(strip).text((0, 0), text, font=font, fill=colour + (255,))
    return strip


def preview(picture: Path, p: Project, spine: str, front: str,
            out: Path) -> None:
    """Lay the titles over one picture.  spine: '', 'centred' or 'bands';
    front: '', 'right-half', 'seventh' or 'fifth'.  Font sizes and positions
    follow the program's rules; the glyphs come from Pillow, not from the
    program's own text drawing, so expect small differences."""
    img = Image.open(picture).convert("RGBA")
    w, h = img.size
    if spine and p.title_on_spine and p.spine_text:
        font = preview_font(p, int(h / TITLE_FONT_BASE * p.font_size))
        strip = text_strip(p.spine_text, font, p.colour)
        strip = strip.transpose(Image.Transpose.ROTATE_270)  # top to bottom
        th, tw = strip.width, strip.height
        y = int(round((h - tw) / 2))
        if spine == "centred":
            xs = [int(round((w - th) / 2))]
        else:
            band = int(7.0 / 151.0 * w)
            xs = [int(round((band - th) / 2)),
                  int(round(w - (band - th) / 2 - th))]
        for x in xs:
            img.alpha_composite(strip, (x, y))
    if front and p.title_on_cover and p.cover_text:
        font = preview_font(p, int(h / TITLE_FONT_BASE * (p.font_size + 2)))
        strip = text_strip(p.cover_text, font, p.colour)
        tw = strip.width
        x = (w - tw) / 2
        y = h * (TITLE_TOP_FIFTH if front == "fifth" else TITLE_TOP_SEVENTH)
        if front == "right-half":
            x = w / 2 + (w / 2 - tw) / 2
        img.alpha_composite(strip, (int(round(x)), int(round(y))))
    out.parent.mkdir(parents=True, exist_ok=True)
    img.convert("RGB").save(out, "PNG")


# ---------------------------------------------------------------------------
# Putting it together
# ---------------------------------------------------------------------------


def build_all(formats: list[CoverFormat], out_dir: Path, dpi: int,
              quality: int, max_bytes: int, preview_dir: Path | None
              ) -> list[tuple[Path, tuple[int, int], float, float, int]]:
    f = formats
    for idx in (FORMAT_DVD, FORMAT_JEWEL, FORMAT_THREE_MINI_LABELS):
        if f[idx].dim_a <= 0 or f[idx].dim_b <= 0:
            sys.exit(f"make-examples: format {idx} ({f[idx].name}) has no "
                     "usable size in the catalogue.")
    if f[FORMAT_JEWEL].dim_c <= 0 or f[FORMAT_JEWEL].dim_d <= 0:
        sys.exit("make-examples: format 3 has no second picture size "
                 "(the jewel-case back sheet) in the catalogue.")
    mini = f[FORMAT_THREE_MINI_LABELS]
    if mini.dim_a != mini.dim_b:
        print(f"make-examples: warning: format 14 ({mini.name}) is not "
              "square; the labels are drawn round on its width.",
              file=sys.stderr)

    dvd, jewel = f[FORMAT_DVD], f[FORMAT_JEWEL]
    # (file, width mm, height mm, drawing, spine title, front title)
    pictures = [
        ("dvd-cover.jpg", dvd.dim_a, dvd.dim_b,
         lambda: dvd_wrap(dvd.dim_a, dvd.dim_b, dpi), "centred", "right-half"),
        ("jewel-front.jpg", jewel.dim_a, jewel.dim_b,
         lambda: jewel_front(jewel.dim_a, jewel.dim_b, dpi), "", "fifth"),
        ("jewel-back.jpg", jewel.dim_c, jewel.dim_d,
         lambda: jewel_back(jewel.dim_c, jewel.dim_d, dpi), "bands", ""),
        ("mini-disc-dusk.jpg", mini.dim_a, mini.dim_a,
         lambda: disc_dusk(mini.dim_a, dpi), "", "seventh"),
        ("mini-disc-night.jpg", mini.dim_a, mini.dim_a,
         lambda: disc_night(mini.dim_a, dpi), "", "seventh"),
        ("mini-disc-dawn.jpg", mini.dim_a, mini.dim_a,
         lambda: disc_dawn(mini.dim_a, dpi), "", "seventh"),
    ]

    projects = [
        Project("dvd-case.vtr", ["dvd-cover.jpg"], True,
                "Quiet Valley", "Quiet Valley", "Liberation Serif", 16,
                True, False, False, DUSK_GOLD, True, True, FORMAT_DVD),
        # Size 14 keeps the spine title inside the 7 mm strips.
        Project("jewel-case.vtr", ["jewel-front.jpg", "jewel-back.jpg"], True,
                "Tide Lines", "Tide Lines", "Liberation Sans", 14,
                True, False, False, TIDE_CREAM, True, True, FORMAT_JEWEL),
        # The label title sits high on a round disc, where the chord is
        # short; size 14 keeps it well inside the rim.
        Project("three-disc-labels.vtr",
                ["mini-disc-dusk.jpg", "mini-disc-night.jpg",
                 "mini-disc-dawn.jpg"], True,
                "Small Hours", "Small Hours", "Liberation Sans", 14,
                False, False, False, TIDE_CREAM, True, True,
                FORMAT_THREE_MINI_LABELS),
    ]

    results = []
    for name, w_mm, h_mm, draw, _spine, _front in pictures:
        path = out_dir / name
        size, used_quality = draw().save(path, dpi, quality, max_bytes)
        results.append((path, size, w_mm, h_mm, used_quality))

    for p in projects:
        (out_dir / p.file_name).write_bytes(project_bytes(p))
        print(f"{out_dir / p.file_name}: format {p.format_index}, "
              f"pictures {', '.join(p.pictures)}")

    if preview_dir is not None:
        owner = {pic: p for p in projects for pic in p.pictures}
        for name, _w, _h, _draw, spine, front in pictures:
            out = preview_dir / (Path(name).stem + "-titled.png")
            preview(out_dir / name, owner[name], spine, front, out)
            print(f"{out}: preview with titles")
    return results


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(
        description="Draw the example projects and their pictures.")
    parser.add_argument("--catalogue", type=Path, default=DEFAULT_CATALOGUE,
                        help="format catalogue (default: %(default)s)")
    parser.add_argument("--output", type=Path, default=DEFAULT_OUTPUT,
                        help="output folder (default: %(default)s)")
    parser.add_argument("--dpi", type=int, default=150,
                        help="resolution at true size, at least 150 "
                             "(default: %(default)s)")
    parser.add_argument("--quality", type=int, default=85,
                        help="JPEG quality 1-95 to start from "
                             "(default: %(default)s)")
    parser.add_argument("--max-kb", type=int, default=300,
                        help="largest picture file in KiB "
                             "(default: %(default)s)")
    parser.add_argument("--preview", type=Path, default=None, metavar="DIR",
                        help="also write PNG previews with the titles laid "
                             "on top into DIR")
    args = parser.parse_args(argv)
    if args.dpi < 150:
        parser.error("--dpi must be 150 or more; lower resolutions print "
                     "blurred.")
    if not 1 <= args.quality <= 95:
        parser.error("--quality must lie between 1 and 95.")
    if args.max_kb < 1:
        parser.error("--max-kb must be at least 1.")

    formats = read_catalogue(args.catalogue, "make-examples")
    # Stay a little under the limit so that "300 KB" holds whether it is
    # read as 300 000 bytes or 300 KiB.
    max_bytes = min(args.max_kb * 1024, args.max_kb * 1000)
    results = build_all(formats, args.output, args.dpi, args.quality,
                        max_bytes, args.preview)
    total = 0
    for path, (w, h), w_mm, h_mm, q in results:
        nbytes = path.stat().st_size
        total += nbytes
        print(f"{path}: {w}x{h} px ({w_mm}x{h_mm} mm at {args.dpi} dpi), "
              f"JPEG quality {q}, {nbytes} bytes ({nbytes / 1024:.0f} KiB)")
    print(f"{len(results)} pictures, {total // 1024} KiB in all")
    return 0


if __name__ == "__main__":
    sys.exit(main())
