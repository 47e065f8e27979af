#include "ui/dialogs/SheetPicture.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace vt {

QPixmap drawSheetPicture(const std::optional<SheetView> &view, bool portrait, qreal ratio)
{
    const int size = SheetPictureSize;
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    const QSizeF a4 = portrait ? QSizeF(210, 297) : QSizeF(297, 210);
    const QSizeF paper = view && !view->paperMm.isEmpty() ? view->paperMm : a4;
    const double inner = size - 6;
    const double scale = std::min(inner / paper.width(), inner / paper.height());
    const QPointF corner((size - paper.width() * scale) / 2, (size - paper.height() * scale) / 2);
    auto toPixels = [&](const QRectF &mm) {
        return QRectF(corner.x() + mm.x() * scale, corner.y() + mm.y() * scale, mm.width() * scale,
                      mm.height() * scale);
    };

    const QRectF sheet = toPixels(QRectF(QPointF(0, 0), paper));
    p.setPen(QPen(QColor(0x55, 0x5f, 0x6d), 1.2));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    if (!view)
        return pixmap;

    // The printable area: what the printer can reach, as a dashed line.
    QPen dashed(QColor(0x8a, 0x94, 0xa3), 1);
    dashed.setStyle(Qt::DashLine);
    p.setPen(dashed);
    p.setBrush(Qt::NoBrush);
    p.drawRect(toPixels(view->printableMm));

    // The cover, clipped to the paper: what lies past the edge is drawn as far as the edge.
    const QColor ink = view->crosses() ? QColor(0xd0, 0x1c, 0x1c) : QColor(0x1f, 0x5f, 0xbf);
    QColor fill = ink;
    fill.setAlpha(60);
    QPainterPath cover;
    cover.setFillRule(Qt::WindingFill);
    for (const QRectF &piece : view->coverMm)
        cover.addRect(toPixels(piece));
    p.setClipRect(sheet.adjusted(-1, -1, 1, 1));
    p.setPen(QPen(ink, 1.2));
    p.setBrush(fill);
    p.drawPath(cover.simplified());
    return pixmap;
}

} // namespace vt
