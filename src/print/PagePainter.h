#pragma once
// Draws a composed page on any QPainter: a printer, a PDF or an image. Millimetre
// positions are mapped to the device with the printable area's top-left corner as the
// origin, exact to the device's resolution (page margins in whole points would not be).
#include "print/PageSetup.h"
#include "print/PrintComposition.h"

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QSizeF>
#include <array>

class QPainter;
class QPaintDevice;

namespace vt {

using PagePictures = std::array<QImage, size_t(PrintPicture::Count)>;

struct PageGeometry
{
    QPointF originMm;   // top-left of the printable area, from the paper's corner
    QSizeF printableMm; // size of the printable area
    double dotsPerMm = 0;
    QSizeF paperMm{};   // the whole sheet, in the orientation that prints
    PrintCorrection correction{}; // a printer's measured correction; identity for PDF files
};

// Pictures reach the page at no more than this many pixels per inch of printed size:
// more detail than any printer resolves, and a PDF that stays small and quick to write.
inline constexpr double MaxPrintPixelsPerInch = 600;

// The picture as it goes onto the page for a rectangle of sizeMm: unchanged when it is
// small enough, else reduced with smooth resampling to at most MaxPrintPixelsPerInch.
QImage pictureForPrint(const QImage &picture, QSizeF sizeMm);
// Whether pictureForPrint leaves the picture as it is for that rectangle.
bool printsAsIs(const QImage &picture, QSizeF sizeMm);

// The footer's font: a plain sans-serif of 8 points.
QFont footerFont();

// Measures texts in the footer's font as they will print on device, in millimetres.
TextMeasure footerMeasure(QPaintDevice *device);

// Outlines are drawn this thin (millimetres): a cutting guide, not a frame.
inline constexpr double OutlineWidthMm = 0.1;

// Paints the operations. A picture that is missing is a failure, added to failures; the
// rest of the page is still drawn.
void paintPage(QPainter &painter, const PageGeometry &geometry, const PrintComposition &page,
               const PagePictures &pictures, QStringList &failures);

} // namespace vt
