#pragma once
// What a user cutting covers by hand asks for, added to a composed cover: crop marks
// outside the cover's corners, and bleed, the pictures reaching past their cut lines.
// Both off, the page is the cover's as it is.
#include "print/PrintComposition.h"

namespace vt {

// Crop marks: lines this thin and long, starting this far outside a corner.
inline constexpr double CropMarkWidthMm = 0.1;
inline constexpr double CropMarkLengthMm = 4;
inline constexpr double CropMarkGapMm = 2;
inline constexpr double MaxBleedMm = 3;

// The rectangles the cover is cut along: each picture's, and for a slim case the whole
// cover the three pieces make together (a disc is cut along the circle in its square).
QList<QRectF> cutRectangles(const PrintComposition &page);

// The page with crop marks at every corner of every cut rectangle (whether outlines are
// printed or not) and the pictures reaching bleedMm (0 to MaxBleedMm) past the cover's
// outer cut lines. A mark that would cross a picture of the cover is left out; a
// slim case's pieces bleed only where they lie on the cover's edge, so the front piece
// never covers the spine. Outlines keep their true size.
PrintComposition withCutExtras(const PrintComposition &page, bool cropMarks, double bleedMm);

} // namespace vt
