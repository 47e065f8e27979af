"""The format catalogue (data/Files/Covers.ini) as the drawing tools need it:
the millimetre sizes and the shape of each format.  Shared by make-templates.py
and make-examples.py, which import it from this folder."""

from __future__ import annotations

import sys
from dataclasses import dataclass
from pathlib import Path

MM_PER_INCH = 25.4
FORMAT_COUNT = 22
LINES_PER_FORMAT = 12
# The block of format 14 is followed by the third print position (2 lines).
EXTRA_LINES_AFTER = {14: 2}


@dataclass(frozen=True)
class CoverFormat:
    index: int
    name: str
    dim_a: int   # width of picture 1 (diameter for round labels), mm
    dim_b: int   # height of picture 1, mm
    dim_c: int   # width of picture 2, 0 when there is none, mm
    dim_d: int   # height of picture 2, mm
    shape: str


def read_catalogue(path: Path, program: str) -> list[CoverFormat]:
    """Read the millimetre sizes of all formats from the catalogue file;
    exit with a message that names the calling program when it cannot."""
    try:
        raw = path.read_bytes()
    except OSError as err:
        sys.exit(f"{program}: cannot read the catalogue {path}: {err}")
    # The file is 8-bit text with CR LF line ends; only ASCII digits matter
    # here, so Latin-1 decodes any byte without failing.
    lines = raw.decode("latin-1").replace("\r\n", "\n").split("\n")
    needed = FORMAT_COUNT * LINES_PER_FORMAT + sum(EXTRA_LINES_AFTER.values())
    if len(lines) < needed:
        sys.exit(f"{program}: {path} has {len(lines)} lines, "
                 f"at least {needed} are needed for {FORMAT_COUNT} formats.")

    def length(line_no: int, what: str, index: int) -> int:
        text = lines[line_no].strip()
        try:
            return int(text)
        except ValueError:
            sys.exit(f"{program}: {path} line {line_no + 1}: {what} of "
                     f"format {index} is '{text}', not a whole number of mm.")

    formats = []
    start = 0
    for index in range(FORMAT_COUNT):
        formats.append(CoverFormat(
            index=index,
            name=lines[start].strip(),
            dim_a=length(start + 1, "DimA", index),
            dim_b=length(start + 2, "DimB", index),
            dim_c=length(start + 4, "DimC", index),
            dim_d=length(start + 5, "DimD", index),
            shape=lines[start + 6].strip(),
        ))
        start += LINES_PER_FORMAT + EXTRA_LINES_AFTER.get(index, 0)
    return formats


def px_for_mm(mm: float, dpi: int) -> int:
    return int(round(mm / MM_PER_INCH * dpi))
