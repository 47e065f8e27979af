#include "print/CalibrationPage.h"

#include "common/Text.h"

#include <algorithm>
#include <cmath>

namespace vt {

namespace {

// Tick lengths: every millimetre, every fifth, every tenth (which also has its number).
constexpr double TickMm = 2;
constexpr double TickFiveMm = 3.5;
constexpr double TickTenMm = 5;
// Rulers stop here even on a page that claims to be larger: no paper is.
constexpr int LongestRulerMm = 1000;

// The last millimetre a ruler reaches; -1 for no ruler at all.
int rulerLength(double printable)
{
    if (!(printable > 0))
        return -1;
    return int(std::floor(std::min(printable, double(LongestRulerMm))));
}

double tickLength(int mm)
{
    return mm % 10 == 0 ? TickTenMm : mm % 5 == 0 ? TickFiveMm : TickMm;
}

} // namespace

PrintComposition composeCalibrationPage(const QString &printerName, const QDate &date, QSizeF printableMm,
                                        const TextMeasure &measure)
{
    PrintComposition page;
    auto line = [&](QPointF from, QPointF to) {
        page.operations.append({PageOperation::Kind::Line, {}, QRectF(from, to), {}});
    };
    auto text = [&](QPointF at, const QString &words) {
        const QSizeF size = measure ? measure(words) : QSizeF();
        page.operations.append({PageOperation::Kind::Text, {}, QRectF(at, size), words});
        return size;
    };

    // The rulers: ticks from the printable area's top edge down and from its left edge
    // across, so the first printed tick shows where the printer's area really begins.
    const int across = rulerLength(printableMm.width());
    const int down = rulerLength(printableMm.height());
    for (int mm = 0; mm <= across; ++mm)
        line({double(mm), 0}, {double(mm), tickLength(mm)});
    // The left ruler leaves out the millimetres the top one already marks in the
    // corner, where the two would cross into a grid.
    for (int mm = 0; mm <= down; ++mm)
        if (mm == 0 || mm > TickTenMm)
            line({0, double(mm)}, {tickLength(mm), double(mm)});
    constexpr double NumberGapMm = 0.6;
    for (int mm = 10; mm <= across; mm += 10) {
        // Centred under its tick; the last one kept inside the area.
        const QString number = QString::number(mm);
        const double width = measure ? measure(number).width() : 0;
        text({std::min(mm - width / 2, printableMm.width() - width), TickTenMm + NumberGapMm}, number);
    }
    for (int mm = 10; mm <= down; mm += 10)
        text({TickTenMm + NumberGapMm, mm + NumberGapMm}, QString::number(mm));

    // The square with its crosshairs through the centre.
    const double at = CalibrationSquareAtMm;
    const double side = CalibrationSquareMm;
    page.operations.append({PageOperation::Kind::Box, {}, QRectF(at, at, side, side), {}});
    line({at + side / 2, at}, {at + side / 2, at + side});
    line({at, at + side / 2}, {at + side, at + side / 2});
    if (printableMm.width() < at + side || printableMm.height() < at + side)
        page.failures << QStringLiteral("the printable area is too small for the calibration square");

    // What it is, where it was printed, and what to do with it, below the square.
    const QStringList lines = {
        QStringLiteral("Calibration page"),
        QStringLiteral("Printer: %1").arg(escapeControls(printerName)),
        QStringLiteral("Date: %1").arg(date.toString(Qt::ISODate)),
        QStringLiteral("Square: 30 mm from the left, 30 mm from the top of the printable area"),
        QStringLiteral("Size: 100 x 100 mm. Scale in % = 100 x 100 / the measured mm."),
        QStringLiteral("Offset in mm = where the square should lie minus where it lies, from the paper's edges."),
    };
    double y = at + side + 8;
    for (const QString &words : lines) {
        const QSizeF size = text({at, y}, words);
        y += std::max(size.height(), 3.0) + 1.5;
    }
    return page;
}

} // namespace vt
