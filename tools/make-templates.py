#!/usr/bin/python3
"""Draw the placeholder template pictures that empty picture slots show.

Run from the repository root:

    /usr/bin/python3 tools/make-templates.py

By default the sizes are read from data/Files/Covers.ini and the pictures are
written into data/Modelli/<folder>/..., replacing earlier ones.  Options:

    --catalogue PATH   format catalogue to read the millimetre sizes from
    --output DIR       folder that receives the Modelli tree
    --dpi N            resolution at true size (150 or more, default 150)
    --quality N        JPEG quality (default 88)

Needs Python 3 with Pillow (Debian: python3-pil) and a TrueType font from
/usr/share/fonts (Liberation Sans from fonts-liberation, or DejaVu Sans from
fonts-dejavu-core).  The pictures are committed to the repository, so this
script is only needed when the catalogue sizes or the artwork change; the
build does not run it.

Every picture is drawn in the proportions of the paper insert it stands for,
with fold lines where the insert is folded and a friendly empty smiley.  The
words telling which part of the sheet is which are not drawn: they go to
Words.txt, and the program draws them in the user's language.  The areas where the program
writes the red default title (front: top at 1/7 of the height, jewel-case
fronts: 1/5; spine: along the vertical centre line) are kept free of artwork
so the title stays readable.
"""

from __future__ import annotations

import argparse
import math
import os
import sys
from dataclasses import dataclass
from pathlib import Path

from catalogue import CoverFormat, px_for_mm, read_catalogue

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:  # pragma: no cover - depends on the machine
    sys.exit("make-templates: Pillow is missing; install it with "
             "'apt-get install python3-pil' and run again.")

REPO_ROOT = Path(__file__).resolve().parent.parent
DEFAULT_CATALOGUE = REPO_ROOT / "data" / "Files" / "Covers.ini"
DEFAULT_OUTPUT = REPO_ROOT / "data" / "Modelli"

# Everything is drawn at this multiple of the final size and scaled down at
# the end; Pillow draws circles, arcs and slanted edges without smoothing, so
# this is what keeps the outlines clean.
SUPERSAMPLE = 3

# ---------------------------------------------------------------------------
# Cover geometry that the catalogue does not hold.
# ---------------------------------------------------------------------------

# Slim-case pictures are cut by the program as if they were a book-style DVD
# cover as wide as format 0: a back and a front of this width at the outer
# edges and a spine of SLIM_SOURCE_SPINE_MM in the middle.
SLIM_PIECE_MM = 129.8
SLIM_SOURCE_SPINE_MM = 14.0

# Spine widths of the one-sheet wraps.  A DVD and a Blu-ray keep-case both
# have a 14 mm spine; a VHS sleeve is about an inch thick; handheld-console
# (UMD-size) cases sit in between.
DVD_SPINE_MM = 14.0
BLURAY_SPINE_MM = 14.0
VHS_SPINE_MM = 25.0
HANDHELD_SPINE_MM = 15.0

# The jewel-case back sheet (inlay) has a folded spine strip of 7 mm along
# each short side of its 151 mm width; the program writes the spine title
# into bands of width 7/151 of the picture at both edges.
JEWEL_INLAY_SPINE_MM = 7.0
JEWEL_INLAY_WIDTH_MM = 151.0

# Disc label: centre hole and the clamping ring around it, as on a 120 mm
# disc.
DISC_HOLE_MM = 15.0
DISC_CLAMP_MM = 41.0

# Where the program puts the top of the front title, as a share of the
# picture height.
TITLE_TOP_WRAP = 1 / 7
TITLE_TOP_JEWEL_FRONT = 1 / 5

# ---------------------------------------------------------------------------
# Colours: light backgrounds so the red title drawn on top stays readable.
# ---------------------------------------------------------------------------

WHITE = (255, 255, 255)
FRONT_TOP = (245, 249, 253)
FRONT_BOTTOM = (232, 241, 250)
BACK_TOP = (251, 249, 243)
BACK_BOTTOM = (244, 240, 229)
INSIDE_TOP = (248, 246, 252)
INSIDE_BOTTOM = (238, 234, 247)
SPINE_TOP = (236, 240, 246)
SPINE_BOTTOM = (226, 232, 241)
DISC_FILL = (240, 246, 252)
DISC_CLAMP_FILL = (229, 237, 247)

FOLD_LINE = (184, 184, 184)
EDGE_LINE = (200, 200, 200)
DROP_FRAME_FRONT = (205, 219, 236)
DROP_FRAME_BACK = (226, 218, 199)
DROP_FRAME_INSIDE = (217, 210, 234)
TEXT_BAR_BACK = (233, 226, 208)
TEXT_BAR_INSIDE = (226, 220, 240)

LABEL_TEXT = (158, 158, 158)
HINT_TEXT = (176, 176, 176)

FACE_FILL = (255, 245, 206)
FACE_LINE = (240, 192, 96)
FACE_FEATURES = (124, 138, 158)
FACE_CHEEKS = (252, 214, 210)

# ---------------------------------------------------------------------------
# Fonts
# ---------------------------------------------------------------------------

FONT_DIR = Path("/usr/share/fonts")
REGULAR_FONT_NAMES = ("LiberationSans-Regular.ttf", "DejaVuSans.ttf")
BOLD_FONT_NAMES = ("LiberationSans-Bold.ttf", "DejaVuSans-Bold.ttf")


def find_font(names: tuple[str, ...]) -> Path:
    """Return the first of the given font files found under /usr/share/fonts."""
    found: dict[str, Path] = {}
    if FONT_DIR.is_dir():
        for dirpath, _dirs, files in os.walk(FONT_DIR):
            for name in files:
                if name in names and name not in found:
                    found[name] = Path(dirpath) / name
    for name in names:
        if name in found:
            return found[name]
    sys.exit("make-templates: none of the fonts " + ", ".join(names)
             + f" was found under {FONT_DIR}; install one with "
             "'apt-get install fonts-liberation' or "
             "'apt-get install fonts-dejavu-core' and run again.")


class Fonts:
    """Loads the two faces once and hands out sizes on demand."""

    def __init__(self) -> None:
        self.regular_path = find_font(REGULAR_FONT_NAMES)
        self.bold_path = find_font(BOLD_FONT_NAMES)
        self._cache: dict[tuple[bool, int], ImageFont.FreeTypeFont] = {}

    def get(self, size_px: float, bold: bool = False) -> ImageFont.FreeTypeFont:
        size = max(6, int(round(size_px)))
        key = (bold, size)
        if key not in self._cache:
            path = self.bold_path if bold else self.regular_path
            self._cache[key] = ImageFont.truetype(str(path), size)
        return self._cache[key]


# ---------------------------------------------------------------------------
# Drawing surface
# ---------------------------------------------------------------------------


class Sheet:
    """A picture of a paper insert, addressed in millimetres.

    The final size is round(mm / 25.4 * dpi) pixels each way; drawing happens
    on a canvas SUPERSAMPLE times larger, with separate x and y scales so
    that millimetre positions land exactly on the final proportions.
    """

    def __init__(self, width_mm: float, height_mm: float, dpi: int,
                 fonts: Fonts, background=WHITE) -> None:
        self.width_mm = width_mm
        self.height_mm = height_mm
        self.out_w = px_for_mm(width_mm, dpi)
        self.out_h = px_for_mm(height_mm, dpi)
        self.w = self.out_w * SUPERSAMPLE
        self.h = self.out_h * SUPERSAMPLE
        self.sx = self.w / width_mm
        self.sy = self.h / height_mm
        self.fonts = fonts
        self.image = Image.new("RGB", (self.w, self.h), background)
        self.draw = ImageDraw.Draw(self.image)
        # The words the program draws over the picture in the user's language.
        self.words: list[str] = []

    # -- coordinates -------------------------------------------------------

    def x(self, mm: float) -> float:
        return mm * self.sx

    def y(self, mm: float) -> float:
        return mm * self.sy

    def s(self, mm: float) -> float:
        """A length that is not tied to an axis (line widths, radii)."""
        return mm * min(self.sx, self.sy)

    # -- primitives --------------------------------------------------------

    def gradient(self, x0: float, y0: float, x1: float, y1: float,
                 top: tuple, bottom: tuple) -> None:
        """Fill a rectangle (mm) with a vertical two-colour gradient."""
        left, right = int(round(self.x(x0))), int(round(self.x(x1)))
        upper, lower = int(round(self.y(y0))), int(round(self.y(y1)))
        height = max(1, lower - upper)
        column = Image.new("RGB", (1, height))
        for row in range(height):
            t = row / max(1, height - 1)
            column.putpixel((0, row), tuple(
                int(round(a + (b - a) * t)) for a, b in zip(top, bottom)))
        self.image.paste(column.resize((max(1, right - left), height)),
                         (left, upper))

    def vline(self, x_mm: float, y0_mm: float, y1_mm: float, colour: tuple,
              width_mm: float = 0.3, dash_mm: float | None = 2.5,
              gap_mm: float = 1.5) -> None:
        """A vertical line, dashed unless dash_mm is None."""
        half = max(1.0, self.s(width_mm)) / 2
        cx = self.x(x_mm)
        if dash_mm is None:
            self.draw.rectangle([cx - half, self.y(y0_mm), cx + half,
                                 self.y(y1_mm)], fill=colour)
            return
        pos = y0_mm
        while pos < y1_mm:
            end = min(pos + dash_mm, y1_mm)
            self.draw.rectangle([cx - half, self.y(pos), cx + half,
                                 self.y(end)], fill=colour)
            pos = end + gap_mm

    def dashed_round_rect(self, x0: float, y0: float, x1: float, y1: float,
                          radius_mm: float, colour: tuple,
                          width_mm: float = 0.35, dash_mm: float = 3.0,
                          gap_mm: float = 2.0) -> None:
        """A dashed frame with rounded corners (all in mm)."""
        r = radius_mm
        # Walk the outline as a sequence of points in mm and draw every
        # other stretch of dash_mm / gap_mm along it.
        path: list[tuple[float, float]] = []
        corners = [
            (x1 - r, y0 + r, -90, 0),    # top right
            (x1 - r, y1 - r, 0, 90),     # bottom right
            (x0 + r, y1 - r, 90, 180),   # bottom left
            (x0 + r, y0 + r, 180, 270),  # top left
        ]
        for cx, cy, a0, a1 in corners:
            steps = 12
            for k in range(steps + 1):
                a = math.radians(a0 + (a1 - a0) * k / steps)
                path.append((cx + r * math.cos(a), cy + r * math.sin(a)))
        path.append(path[0])
        width = max(1, int(round(self.s(width_mm))))
        period = dash_mm + gap_mm
        travelled = 0.0
        for (ax, ay), (bx, by) in zip(path, path[1:]):
            seg = math.hypot(bx - ax, by - ay)
            if seg == 0:
                continue
            t = 0.0
            while t < seg:
                phase = (travelled + t) % period
                if phase < dash_mm:
                    step = min(dash_mm - phase, seg - t)
                    p0 = (ax + (bx - ax) * t / seg, ay + (by - ay) * t / seg)
                    t2 = t + step
                    p1 = (ax + (bx - ax) * t2 / seg, ay + (by - ay) * t2 / seg)
                    self.draw.line([(self.x(p0[0]), self.y(p0[1])),
                                    (self.x(p1[0]), self.y(p1[1]))],
                                   fill=colour, width=width)
                    t = t2
                else:
                    t += min(period - phase, seg - t)
            travelled += seg

    def circle(self, cx_mm: float, cy_mm: float, r_mm: float,
               fill=None, outline=None, width_mm: float = 0.3) -> None:
        cx, cy = self.x(cx_mm), self.y(cy_mm)
        rx, ry = self.x(r_mm), self.y(r_mm)
        width = max(1, int(round(self.s(width_mm)))) if outline else 0
        self.draw.ellipse([cx - rx, cy - ry, cx + rx, cy + ry], fill=fill,
                          outline=outline, width=width)

    def word(self, key: str, suffix: str, x_mm: float, y_mm: float,
             size_mm: float, max_mm: float, vertical: bool, bold: bool,
             colour: tuple) -> None:
        """Records a word for the program to draw, in the user's language, as
        shares of the picture: x and y of its anchor (the centre; the centre
        of the top end for vertical words), the em height as a share of the
        picture height, the longest it may run as a share of the width
        (horizontal) or height (vertical)."""
        length = max_mm / (self.height_mm if vertical else self.width_mm)
        self.words.append("\t".join([
            key, suffix, f"{x_mm / self.width_mm:.5f}",
            f"{y_mm / self.height_mm:.5f}",
            f"{self.s(size_mm) / self.h:.5f}", f"{length:.5f}",
            "v" if vertical else "h", "b" if bold else "n",
            "#%02x%02x%02x" % colour]))

    def text(self, cx_mm: float, cy_mm: float, text: str, size_mm: float,
             colour: tuple, bold: bool = False, key: str = "",
             max_mm: float = 0.0) -> None:
        """Horizontal text centred on (cx, cy) in mm; size is the em height.
        With a key the text is not drawn but recorded as a word (see word)."""
        if key:
            self.word(key, "", cx_mm, cy_mm, size_mm, max_mm, False, bold,
                      colour)
            return
        font = self.fonts.get(self.s(size_mm), bold)
        self.draw.text((self.x(cx_mm), self.y(cy_mm)), text, font=font,
                       fill=colour, anchor="mm")

    def vertical_text(self, cx_mm: float, top_mm: float, text: str,
                      size_mm: float, colour: tuple,
                      bold: bool = False, key: str = "", suffix: str = "",
                      max_mm: float = 0.0) -> float:
        """Text turned a quarter turn clockwise (reading top to bottom, like
        the spine title), centred across on cx, starting at top.  Returns the
        length it takes up, in mm.  With a key the text is recorded as a word
        (key, then suffix as it stands) instead of being drawn."""
        if key:
            self.word(key, suffix, cx_mm, top_mm, size_mm, max_mm, True, bold,
                      colour)
            return 0.0
        font = self.fonts.get(self.s(size_mm), bold)
        left, upper, right, lower = font.getbbox(text)
        strip = Image.new("L", (right - left + 2, lower - upper + 2), 0)
        ImageDraw.Draw(strip).text((1 - left, 1 - upper), text, font=font,
                                   fill=255)
        strip = strip.transpose(Image.Transpose.ROTATE_270)
        ink = Image.new("RGB", strip.size, colour)
        x = int(round(self.x(cx_mm) - strip.width / 2))
        y = int(round(self.y(top_mm)))
        self.image.paste(ink, (x, y), strip)
        return strip.height / self.sy

    # -- artwork -----------------------------------------------------------

    def smiley(self, cx_mm: float, cy_mm: float, r_mm: float) -> None:
        """A plain, friendly face: round outline, two eyes, a smile."""
        r = r_mm
        self.circle(cx_mm, cy_mm, r, fill=FACE_FILL, outline=FACE_LINE,
                    width_mm=r * 0.055)
        for side in (-1, 1):
            # Soft cheeks first, so the smile may cross them.
            self.circle(cx_mm + side * 0.6 * r, cy_mm + 0.1 * r, 0.12 * r,
                        fill=FACE_CHEEKS)
            ex, ey = cx_mm + side * 0.33 * r, cy_mm - 0.2 * r
            self.draw.ellipse([self.x(ex - 0.085 * r), self.y(ey - 0.13 * r),
                               self.x(ex + 0.085 * r), self.y(ey + 0.13 * r)],
                              fill=FACE_FEATURES)
        # The smile: an arc of the lower part of a circle, with round ends.
        mr = 0.52 * r
        mcx, mcy = cx_mm, cy_mm + 0.02 * r
        start, end = 28, 152
        line = 0.075 * r
        self.draw.arc([self.x(mcx - mr), self.y(mcy - mr),
                       self.x(mcx + mr), self.y(mcy + mr)],
                      start, end, fill=FACE_FEATURES,
                      width=max(1, int(round(self.s(line)))))
        # Pillow strokes the arc inwards from the bounding circle, so the
        # caps sit half a stroke inside it.
        cap_r = mr - line / 2
        for angle in (start, end):
            a = math.radians(angle)
            self.circle(mcx + cap_r * math.cos(a), mcy + cap_r * math.sin(a),
                        line / 2, fill=FACE_FEATURES)

    def text_bars(self, x0: float, x1: float, y0: float, y1: float,
                  colour: tuple, rows: int) -> None:
        """Pale rounded bars standing in for the lines of a blurb."""
        lengths = (1.0, 0.93, 0.97, 0.86, 0.95, 0.62, 0.9, 0.98, 0.74)
        pitch = (y1 - y0) / rows
        thickness = pitch * 0.42
        for row in range(rows):
            if row == rows // 2:
                continue  # a paragraph break keeps it from looking like a grid
            top = y0 + row * pitch
            right = x0 + (x1 - x0) * lengths[row % len(lengths)]
            self.draw.rounded_rectangle(
                [self.x(x0), self.y(top), self.x(right),
                 self.y(top + thickness)],
                radius=self.s(thickness / 2), fill=colour)

    # -- output ------------------------------------------------------------

    def save(self, path: Path, dpi: int, quality: int) -> tuple[int, int]:
        final = self.image.resize((self.out_w, self.out_h),
                                  Image.Resampling.LANCZOS)
        path.parent.mkdir(parents=True, exist_ok=True)
        final.convert("RGB").save(path, "JPEG", quality=quality,
                                  optimize=True, progressive=False,
                                  dpi=(dpi, dpi))
        return final.size


# ---------------------------------------------------------------------------
# Panels: the parts of a cover
# ---------------------------------------------------------------------------

@dataclass
class Box:
    """A rectangle in mm."""
    x0: float
    y0: float
    x1: float
    y1: float

    @property
    def w(self) -> float:
        return self.x1 - self.x0

    @property
    def h(self) -> float:
        return self.y1 - self.y0

    @property
    def cx(self) -> float:
        return (self.x0 + self.x1) / 2


def label_size(sheet: Sheet) -> float:
    """Em height of the part names, scaled with the sheet."""
    return max(4.2, sheet.height_mm * 0.03)


def front_panel(sheet: Sheet, box: Box, title_top: float,
                name: str = "FRONT") -> None:
    """The front: a large smiley below the title area, name and hint under it."""
    sheet.gradient(box.x0, box.y0, box.x1, box.y1, FRONT_TOP, FRONT_BOTTOM)
    inset = min(box.w, box.h) * 0.05
    sheet.dashed_round_rect(box.x0 + inset, box.y0 + inset, box.x1 - inset,
                            box.y1 - inset, inset * 0.8, DROP_FRAME_FRONT)
    size = label_size(sheet)
    # The title box starts at title_top of the height and is roughly a tenth
    # of the height tall at usual sizes; the face starts clearly below it.
    free_top = box.y0 + box.h * (title_top + 0.13)
    name_y = box.y0 + box.h * 0.83
    hint_y = name_y + size * 1.45
    free_bottom = name_y - size * 1.5
    r = min((free_bottom - free_top) / 2, box.w * 0.27)
    cy = (free_top + free_bottom) / 2
    sheet.smiley(box.cx, cy, r)
    sheet.text(box.cx, name_y, name, size, LABEL_TEXT, bold=True, key=name,
               max_mm=box.w * 0.8)
    sheet.text(box.cx, hint_y, "drop a picture here", size * 0.8, HINT_TEXT,
               key="DROP", max_mm=box.w * 0.8)


def blurb_panel(sheet: Sheet, box: Box, name: str, top: tuple,
                bottom: tuple, frame: tuple, bars: tuple) -> None:
    """A back or inside sheet: name on top, small smiley, a pale blurb."""
    sheet.gradient(box.x0, box.y0, box.x1, box.y1, top, bottom)
    inset = min(box.w, box.h) * 0.05
    sheet.dashed_round_rect(box.x0 + inset, box.y0 + inset, box.x1 - inset,
                            box.y1 - inset, inset * 0.8, frame)
    size = label_size(sheet)
    sheet.text(box.cx, box.y0 + box.h * 0.14, name, size, LABEL_TEXT,
               bold=True, key=name, max_mm=box.w * 0.8)
    r = min(box.h * 0.11, box.w * 0.16)
    cy = box.y0 + box.h * 0.33
    sheet.smiley(box.cx, cy, r)
    margin = box.w * 0.17
    sheet.text_bars(box.x0 + margin, box.x1 - margin,
                    cy + r + box.h * 0.09, box.y0 + box.h * 0.78, bars,
                    rows=7)
    sheet.text(box.cx, box.y0 + box.h * 0.86, "drop a picture here",
               size * 0.8, HINT_TEXT, key="DROP", max_mm=box.w * 0.8)


def back_panel(sheet: Sheet, box: Box) -> None:
    blurb_panel(sheet, box, "BACK", BACK_TOP, BACK_BOTTOM, DROP_FRAME_BACK,
                TEXT_BAR_BACK)


def inside_panel(sheet: Sheet, box: Box) -> None:
    blurb_panel(sheet, box, "INSIDE", INSIDE_TOP, INSIDE_BOTTOM,
                DROP_FRAME_INSIDE, TEXT_BAR_INSIDE)


def spine_band(sheet: Sheet, box: Box, hint: str = "SPINE") -> None:
    """A spine: a slightly deeper tint, fold lines at both edges and its name
    near the top, leaving the middle to the vertical spine title."""
    sheet.gradient(box.x0, box.y0, box.x1, box.y1, SPINE_TOP, SPINE_BOTTOM)
    # The fold lines sit just inside the band, so that a picture cut at the
    # band's edges still carries them.
    line = 0.3
    for x in (box.x0 + line / 2, box.x1 - line / 2):
        sheet.vline(x, box.y0, box.y1, FOLD_LINE, width_mm=line)
    size = min(label_size(sheet) * 0.85, box.w * 0.42)
    # The name is the word SPINE in the user's language; a suffix such as
    # "7 mm" stays as it is.
    suffix = hint[len("SPINE"):] if hint.startswith("SPINE") else ""
    sheet.vertical_text(box.cx, box.y0 + box.h * 0.05, hint, size,
                        LABEL_TEXT, bold=True, key="SPINE", suffix=suffix,
                        max_mm=box.h * 0.3)


# ---------------------------------------------------------------------------
# Templates
# ---------------------------------------------------------------------------


def wrap_template(width_mm: float, height_mm: float, spine_mm: float,
                  dpi: int, fonts: Fonts) -> Sheet:
    """One sheet round the case: back on the left, spine in the middle,
    front on the right; the spine is centred on the vertical centre line,
    where the program writes the spine title."""
    sheet = Sheet(width_mm, height_mm, dpi, fonts)
    s0 = (width_mm - spine_mm) / 2
    s1 = s0 + spine_mm
    back_panel(sheet, Box(0, 0, s0, height_mm))
    front_panel(sheet, Box(s1, 0, width_mm, height_mm), TITLE_TOP_WRAP)
    spine_band(sheet, Box(s0, 0, s1, height_mm))
    return sheet


def slim_template(width_mm: float, height_mm: float, dpi: int, fonts: Fonts,
                  spine_hint: str) -> Sheet:
    """A slim-case picture.  The program cuts it like a book-style cover of
    width_mm: back = the left round(W/width*129.8) px, front = the same at
    the right, spine = the centred round(W/width*14) px, which it then shows
    squeezed to the slim spine.  The panels are drawn on exactly those pixel
    ranges, so each piece shows whole and the narrow strips in between,
    which are thrown away, hold nothing of importance."""
    sheet = Sheet(width_mm, height_mm, dpi, fonts)
    w = sheet.out_w
    back_px = round(w / width_mm * SLIM_PIECE_MM)
    spine_px = round(w / width_mm * SLIM_SOURCE_SPINE_MM)
    spine_left_px = round((w - spine_px) / 2)
    front_left_px = w - back_px

    def mm(px: int) -> float:
        return px * width_mm / w

    # Paint the whole sheet first so the discarded strips are not white.
    sheet.gradient(0, 0, width_mm, height_mm, SPINE_TOP, SPINE_BOTTOM)
    back_panel(sheet, Box(0, 0, mm(back_px), height_mm))
    front_panel(sheet, Box(mm(front_left_px), 0, width_mm, height_mm),
                TITLE_TOP_WRAP)
    spine_band(sheet, Box(mm(spine_left_px), 0,
                          mm(spine_left_px + spine_px), height_mm), spine_hint)
    return sheet


def jewel_front_template(width_mm: float, height_mm: float, dpi: int,
                         fonts: Fonts) -> Sheet:
    sheet = Sheet(width_mm, height_mm, dpi, fonts)
    front_panel(sheet, Box(0, 0, width_mm, height_mm), TITLE_TOP_JEWEL_FRONT)
    return sheet


def jewel_back_template(width_mm: float, height_mm: float, dpi: int,
                        fonts: Fonts) -> Sheet:
    """The inlay behind the disc tray: a back in the middle and a folded
    spine strip along each side edge, where the program writes the spine
    title twice."""
    sheet = Sheet(width_mm, height_mm, dpi, fonts)
    # The program measures the bands as a share of the picture width.
    band = width_mm * JEWEL_INLAY_SPINE_MM / JEWEL_INLAY_WIDTH_MM
    back_panel(sheet, Box(band, 0, width_mm - band, height_mm))
    spine_band(sheet, Box(0, 0, band, height_mm))
    spine_band(sheet, Box(width_mm - band, 0, width_mm, height_mm))
    return sheet


def front_inside_template(width_mm: float, height_mm: float, dpi: int,
                          fonts: Fonts) -> Sheet:
    """A folded booklet sheet: inside page on the left, front on the right."""
    sheet = Sheet(width_mm, height_mm, dpi, fonts)
    half = width_mm / 2
    inside_panel(sheet, Box(0, 0, half, height_mm))
    front_panel(sheet, Box(half, 0, width_mm, height_mm), TITLE_TOP_WRAP)
    sheet.vline(half, 0, height_mm, FOLD_LINE, width_mm=0.3)
    return sheet


def disc_template(diameter_mm: float, dpi: int, fonts: Fonts) -> Sheet:
    """A round label on a white square: the printable ring, the clamping
    area and the centre hole.  The front title is written at 1/7 of the
    height, so the upper ring stays plain and the smiley sits below the
    hub."""
    d = diameter_mm
    sheet = Sheet(d, d, dpi, fonts)
    c = d / 2
    sheet.circle(c, c, c - 0.2, fill=DISC_FILL, outline=EDGE_LINE,
                 width_mm=0.3)
    clamp = DISC_CLAMP_MM / 2
    hole = DISC_HOLE_MM / 2
    sheet.circle(c, c, clamp, fill=DISC_CLAMP_FILL, outline=EDGE_LINE,
                 width_mm=0.25)
    sheet.circle(c, c, hole, fill=WHITE, outline=FOLD_LINE, width_mm=0.3)
    size = max(3.0, d * 0.032)
    # The front title ends about a fifth of the way down; the name goes
    # half-way between there and the clamping ring.
    sheet.text(c, c - clamp - (c - clamp - d * 0.21) / 2, "DISC LABEL", size,
               LABEL_TEXT, bold=True, key="DISC", max_mm=clamp * 2.6)
    ring = c - clamp                       # width of the printable ring
    r = ring * 0.27
    cy = c + clamp + ring * 0.42
    sheet.smiley(c, cy, r)
    sheet.text(c, cy + r + size * 1.25, "drop a picture here", size * 0.72,
               HINT_TEXT, key="DROP", max_mm=clamp * 2.4)
    return sheet


# ---------------------------------------------------------------------------
# Main
# ---------------------------------------------------------------------------


# The words of every picture, for the program to draw in the user's language.
WORDS_FILE = "Words.txt"
WORDS_HEADER = ("# picture\tword\tsuffix\tx\ty\tsize\tlength\t"
                "h|v\tb|n\tcolour  (written by tools/make-templates.py)")


def build_all(formats: list[CoverFormat], out_dir: Path, dpi: int,
              quality: int) -> list[tuple[Path, tuple[int, int], float, float]]:
    fonts = Fonts()
    f = formats
    for idx in (0, 1, 3, 5, 9, 10, 15, 18, 20, 21):
        if f[idx].dim_a <= 0 or f[idx].dim_b <= 0:
            sys.exit(f"make-templates: format {idx} ({f[idx].name}) has no "
                     "usable size in the catalogue.")
    if f[3].dim_c <= 0 or f[3].dim_d <= 0:
        sys.exit("make-templates: format 3 has no second picture size "
                 "(the jewel-case back sheet) in the catalogue.")

    if f[10].shape != "Cerchio":
        print(f"make-templates: warning: format 10 ({f[10].name}) is not "
              "marked round; its template is drawn as a round label anyway.",
              file=sys.stderr)

    # Slim pictures are cut relative to format 0's width (see slim_template).
    slim_w = f[0].dim_a
    jobs = [
        ("Box/01 Empty Smile.jpg", f[0].dim_a, f[0].dim_b,
         lambda w, h: wrap_template(w, h, DVD_SPINE_MM, dpi, fonts)),
        ("Box Slim/01 Empty Smile.jpg", slim_w, f[1].dim_b,
         lambda w, h: slim_template(w, h, dpi, fonts, "SPINE")),
        ("CD-DVD Front/01 Empty Smile.jpg", f[3].dim_a, f[3].dim_b,
         lambda w, h: jewel_front_template(w, h, dpi, fonts)),
        ("CD-DVD Back/01 Empty Smile.jpg", f[3].dim_c, f[3].dim_d,
         lambda w, h: jewel_back_template(w, h, dpi, fonts)),
        ("CD-DVD Front and Inside/01 Empty Smile.jpg", f[5].dim_a, f[5].dim_b,
         lambda w, h: front_inside_template(w, h, dpi, fonts)),
        ("VHS/01 Empty Smile.jpg", f[9].dim_a, f[9].dim_b,
         lambda w, h: wrap_template(w, h, VHS_SPINE_MM, dpi, fonts)),
        ("CD-DVD/01 Empty Smile.jpg", f[10].dim_a, f[10].dim_a,
         lambda w, h: disc_template(w, dpi, fonts)),
        ("Box Blue-Ray/01 Empty Smile.jpg", f[15].dim_a, f[15].dim_b,
         lambda w, h: wrap_template(w, h, BLURAY_SPINE_MM, dpi, fonts)),
        ("PSP/01 Empty Smile.jpg", f[18].dim_a, f[18].dim_b,
         lambda w, h: wrap_template(w, h, HANDHELD_SPINE_MM, dpi, fonts)),
        ("Box Slim Blue-Ray/01 Empty Smile 7 mm.jpg", slim_w, f[20].dim_b,
         lambda w, h: slim_template(w, h, dpi, fonts, "SPINE 7 mm")),
        ("Box Slim Blue-Ray/02 Empty Smile 9 mm.jpg", slim_w, f[21].dim_b,
         lambda w, h: slim_template(w, h, dpi, fonts, "SPINE 9 mm")),
    ]
    results = []
    words = [WORDS_HEADER]
    for rel, w_mm, h_mm, make in jobs:
        sheet = make(w_mm, h_mm)
        path = out_dir / rel
        size = sheet.save(path, dpi, quality)
        results.append((path, size, w_mm, h_mm))
        words += [rel + "\t" + w for w in sheet.words]
    (out_dir / WORDS_FILE).write_text("\r\n".join(words) + "\r\n",
                                      encoding="utf-8")
    return results


def main(argv: list[str] | None = None) -> int:
    parser = argparse.ArgumentParser(
        description="Draw the placeholder template pictures (Modelli).")
    parser.add_argument("--catalogue", type=Path, default=DEFAULT_CATALOGUE,
                        help="format catalogue (default: %(default)s)")
    parser.add_argument("--output", type=Path, default=DEFAULT_OUTPUT,
                        help="output folder (default: %(default)s)")
    parser.add_argument("--dpi", type=int, default=150,
                        help="resolution at true size, at least 150 "
                             "(default: %(default)s)")
    parser.add_argument("--quality", type=int, default=88,
                        help="JPEG quality 1-95 (default: %(default)s)")
    args = parser.parse_args(argv)
    if args.dpi < 150:
        parser.error("--dpi must be 150 or more; lower resolutions print "
                     "blurred.")
    if not 1 <= args.quality <= 95:
        parser.error("--quality must lie between 1 and 95.")

    formats = read_catalogue(args.catalogue, "make-templates")
    results = build_all(formats, args.output, args.dpi, args.quality)
    total = 0
    for path, (w, h), w_mm, h_mm in results:
        nbytes = path.stat().st_size
        total += nbytes
        print(f"{path}: {w}x{h} px ({w_mm}x{h_mm} mm at {args.dpi} dpi), "
              f"{nbytes // 1024} KiB")
    print(f"{len(results)} pictures, {total // 1024} KiB in all")
    return 0


if __name__ == "__main__":
    sys.exit(main())
