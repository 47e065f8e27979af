#pragma once
// The small drawing of the sheet in the print dialog: the paper, the printer's printable
// area and the cover's outline where it will print, at scale, in the orientation that
// prints. A cover that runs off the printable area or the paper is drawn in red.
#include <QList>
#include <QPixmap>
#include <QRectF>
#include <QSizeF>

#include <optional>

namespace vt {

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

// Drawn sheets fit a square of this many logical pixels.
inline constexpr int SheetPictureSize = 112;

// Without a view (nothing known of the printer) a plain sheet in that orientation.
QPixmap drawSheetPicture(const std::optional<SheetView> &view, bool portrait, qreal ratio);

} // namespace vt
