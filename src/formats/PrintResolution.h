#pragma once
// How sharp a picture prints: the pixels per inch its visible part gets at the size it
// is printed. Below SharpPrintPpi a photograph looks soft or blocky on paper, which the
// preview marks (never a question: the user may print it all the same).
#include <QRectF>
#include <QSizeF>

namespace vt {

inline constexpr double SharpPrintPpi = 200.0;

// The pixels per inch of the visible part of a picture (its source rectangle, in the
// picture's pixels) printed at printedMm: the lower of the two directions, since a
// stretched picture is only as sharp as its coarser axis. 0 when either is empty.
double printResolutionPpi(const QRectF &visibleSourcePixels, const QSizeF &printedMm);

// Whether that resolution earns the warning mark: above 0 and below SharpPrintPpi.
bool isLowResolution(double ppi);


} // namespace vt
