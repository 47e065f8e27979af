#pragma once
// A page to measure a printer by: millimetre rulers from the printable area's corner, a
// square of known size at a known place, and the printer and date it was printed on.
// What the user measures on paper, against what the page says, is the printer's
// correction (offsets and scales).
#include "print/PrintComposition.h"

#include <QDate>

namespace vt {

// The square's side and where its top-left corner lies, from the printable area's corner.
inline constexpr double CalibrationSquareMm = 100;
inline constexpr double CalibrationSquareAtMm = 30;

PrintComposition composeCalibrationPage(const QString &printerName, const QDate &date, QSizeF printableMm,
                                        const TextMeasure &measure);

} // namespace vt
