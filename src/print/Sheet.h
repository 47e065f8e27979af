#pragma once
// The sheet a cover prints on: the paper, where on it the printer can print, and where
// the page's origin lies once the page is turned for landscape. Widget-free, so the
// print dialog, the command line and the tests share one set of rules.
#include "print/PagePainter.h"
#include "print/PageSetup.h"

#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

namespace vt {

// The paper's size in portrait, in millimetres.
QSizeF paperSizeMm(PaperKind paper);

// "a4", "letter" or "legal", in any letter case; nullopt for anything else.
std::optional<PaperKind> paperFromName(const QString &name);
// The name paperFromName reads.
QString paperName(PaperKind paper);

// The sheet as the printer holds it (portrait): the paper and the margins of its
// printable area from the paper's edges.
struct SheetMargins
{
    QSizeF paperMm;
    QMarginsF marginsMm;
};

// The PDF's sheet: the paper with its printable area inset PdfInsetMm on every side,
// where a typical printer's would be.
inline constexpr double PdfInsetMm = 5.0;
SheetMargins pdfSheet(PaperKind paper);

// The page as it prints on the sheet. A landscape page is turned +90° onto the sheet,
// as CUPS does: the page's left edge lies along the paper's bottom edge and its top
// edge along the paper's left edge.
PageGeometry pageGeometryOn(const SheetMargins &sheet, bool portrait, double dotsPerMm);

// Where the cover (its pictures and outlines; the footer is text that may move) lies on
// the page: all within the printable area, past it, or past the paper itself.
// A printer's correction, measured on an upright calibration page, as it applies to a
// page in the given orientation. CUPS turns a landscape page a quarter turn onto the
// sheet, so the page's X runs up the sheet and its Y along the sheet's width: the
// offsets and scales trade places, and a shift down the sheet is a shift left on the page.
PrintCorrection correctionOnPage(const PrintCorrection &sheet, bool portrait);

enum class CoverFit { Inside, CrossesPrintable, CrossesPaper };
CoverFit coverFit(const PrintComposition &page, const PageGeometry &g);

// The page as it will print, in millimetres from the paper's top-left corner.
struct SheetView
{
    QSizeF paperMm;
    QRectF printableMm;
    QList<QRectF> coverMm;       // the cover's pieces (pictures and outlines)
    bool offPrintable = false;   // part of the cover lies outside the printable area
    bool offPaper = false;       // part of it lies outside the paper

    bool crosses() const { return offPrintable || offPaper; }
};

// The view of page, a cover composed for the printable area of g.
SheetView sheetViewOf(const PageGeometry &g, const PrintComposition &page);

} // namespace vt
