#include "document/PlacementGeometry.h"

#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <cmath>

namespace vt {

namespace {

// Where the picture's leading edge goes along one axis.
double edge(double area, double size, double centre)
{
    if (size <= area)
        return (area - size) / 2;
    const double wanted = area / 2 - centre * size;
    return std::clamp(wanted, area - size, 0.0);
}

} // namespace

QSizeF turnedSize(QSizeF px, int turns)
{
    return (turns % 2) ? QSizeF(px.height(), px.width()) : px;
}

QRectF placedRect(QSizeF picturePixels, QSizeF areaMm, const Placement &p)
{
    const QSizeF turned = turnedSize(picturePixels, p.turns);
    if (turned.isEmpty() || areaMm.isEmpty())
        return {};
    QSizeF size = areaMm;
    if (p.mode != Placement::Mode::Stretch) {
        const double sx = areaMm.width() / turned.width();
        const double sy = areaMm.height() / turned.height();
        const double s = p.mode == Placement::Mode::Fill ? std::max(sx, sy) : std::min(sx, sy);
        size = turned * s;
    }
    size *= p.zoom;
    return {edge(areaMm.width(), size.width(), p.centreX), edge(areaMm.height(), size.height(), p.centreY),
            size.width(), size.height()};
}

Placement heldPlacement(QSizeF picturePixels, QSizeF areaMm, const Placement &p)
{
    const QRectF r = placedRect(picturePixels, areaMm, p);
    if (r.isEmpty())
        return p;
    Placement out = p;
    out.centreX = std::clamp((areaMm.width() / 2 - r.left()) / r.width(), 0.0, 1.0);
    out.centreY = std::clamp((areaMm.height() / 2 - r.top()) / r.height(), 0.0, 1.0);
    return out;
}

Placement draggedPlacement(QSizeF picturePixels, QSizeF areaMm, const Placement &p, QPointF deltaMm)
{
    const Placement held = heldPlacement(picturePixels, areaMm, p);
    const QRectF r = placedRect(picturePixels, areaMm, held);
    if (r.isEmpty())
        return p;
    Placement out = held;
    // Moving the picture right brings more of its left part to the middle.
    out.centreX = held.centreX - deltaMm.x() / r.width();
    out.centreY = held.centreY - deltaMm.y() / r.height();
    return heldPlacement(picturePixels, areaMm, out);
}

bool isPlainStretch(const Placement &p)
{
    return p.mode == Placement::Mode::Stretch && p.zoom == 1.0 && p.turns % 4 == 0;
}

QImage composeArea(const QImage &picture, const Placement &p, QSizeF areaMm, double maxPixelsPerMm)
{
    if (picture.isNull() || isPlainStretch(p) || areaMm.isEmpty())
        return picture;
    const QRectF placed = placedRect(picture.size(), areaMm, p);
    if (placed.isEmpty())
        return picture;
    // The density of the visible part: as many pixels per millimetre as the picture
    // brings along its denser axis, within the cap.
    const QSizeF turned = turnedSize(picture.size(), p.turns);
    const double density =
        std::min(maxPixelsPerMm, std::max(turned.width() / placed.width(), turned.height() / placed.height()));
    const QSize canvasSize(std::max(1, int(std::lround(areaMm.width() * density))),
                           std::max(1, int(std::lround(areaMm.height() * density))));
    const double sx = canvasSize.width() / areaMm.width();
    const double sy = canvasSize.height() / areaMm.height();
    QImage canvas(canvasSize, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRectF target(placed.left() * sx, placed.top() * sy, placed.width() * sx, placed.height() * sy);
    // Turn about the target's centre: the turned picture fills the target exactly.
    painter.translate(target.center());
    painter.rotate(90.0 * (p.turns % 4));
    const QSizeF unturned = (p.turns % 2) ? target.size().transposed() : target.size();
    painter.drawImage(QRectF(QPointF(-unturned.width() / 2, -unturned.height() / 2), unturned), picture);
    painter.end();
    return canvas;
}

} // namespace vt
