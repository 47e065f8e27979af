#include "document/PlacementGeometry.h"

#include "formats/PrintResolution.h"

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

// The part of a picture as an image of its own that shares the picture's pixels (and
// keeps the picture alive): a crop of a large photo costs no copy.
QImage croppedView(const QImage &picture, const QRect &part)
{
    const QRect r = part.intersected(picture.rect());
    if (r.isEmpty())
        return {};
    if (r == picture.rect())
        return picture;
    const int depth = picture.depth();
    if (depth < 8 || picture.format() == QImage::Format_Indexed8)
        return picture.copy(r);
    auto *keep = new QImage(picture);
    const uchar *first = keep->constBits() + qsizetype(r.top()) * keep->bytesPerLine()
                         + qsizetype(r.left()) * (depth / 8);
    return QImage(first, r.width(), r.height(), keep->bytesPerLine(), keep->format(),
                  [](void *info) { delete static_cast<QImage *>(info); }, keep);
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

bool hasAreaShape(QSizeF px, QSizeF areaMm)
{
    if (px.isEmpty() || areaMm.isEmpty())
        return false;
    const double ratio = (px.width() / px.height()) / (areaMm.width() / areaMm.height());
    return std::abs(ratio - 1) <= 0.01;
}

QImage composeArea(const QImage &picture, const Placement &p, QSizeF areaMm, double maxPixelsPerMm)
{
    if (picture.isNull() || areaMm.isEmpty())
        return picture;
    if (isPlainStretch(p) && hasAreaShape(picture.size(), areaMm))
        return picture;
    const QRectF placed = placedRect(picture.size(), areaMm, p);
    if (placed.isEmpty())
        return picture;
    // The density of the visible part: as many pixels per millimetre as the picture
    // brings along its denser axis, within the cap.
    const QSizeF turned = turnedSize(picture.size(), p.turns);
    const double own = std::max(turned.width() / placed.width(), turned.height() / placed.height());
    const double density = std::min(maxPixelsPerMm, std::max(own, MinComposedPixelsPerMm));
    const QSize canvasSize(std::max(1, int(std::lround(areaMm.width() * density))),
                           std::max(1, int(std::lround(areaMm.height() * density))));
    const double sx = canvasSize.width() / areaMm.width();
    const double sy = canvasSize.height() / areaMm.height();
    // The turned picture on the canvas, in canvas pixels, and the part of it inside.
    const QRectF target(placed.left() * sx, placed.top() * sy, placed.width() * sx, placed.height() * sy);
    const QRectF inside = target.intersected(QRectF(QPointF(0, 0), QSizeF(canvasSize)));
    if (inside.isEmpty())
        return picture;
    // That part in the turned picture's pixels, widened to whole pixels.
    const double kx = turned.width() / target.width();
    const double ky = turned.height() / target.height();
    const QRect turnedPart = QRectF((inside.left() - target.left()) * kx, (inside.top() - target.top()) * ky,
                                    inside.width() * kx, inside.height() * ky)
                                 .toAlignedRect()
                                 .intersected(QRect(QPoint(0, 0), turned.toSize()));
    // ... and in the picture as stored: undo the turns.
    const int W = picture.width(), H = picture.height();
    QRect source;
    switch (p.turns % 4) {
    case 1: // clockwise: turned (x, y) is stored (y, H - 1 - x)
        source = QRect(turnedPart.top(), H - turnedPart.right() - 1, turnedPart.height(), turnedPart.width());
        break;
    case 2:
        source = QRect(W - turnedPart.right() - 1, H - turnedPart.bottom() - 1, turnedPart.width(),
                       turnedPart.height());
        break;
    case 3:
        source = QRect(W - turnedPart.bottom() - 1, turnedPart.left(), turnedPart.height(), turnedPart.width());
        break;
    default:
        source = turnedPart;
    }
    // Crop first, scale only what shows (not at all when the density is the picture's
    // own), then turn by whole quarter turns: each a plain pass over the visible pixels.
    QImage part = croppedView(picture, source);
    const QSize partOnCanvas(std::max(1, int(std::lround(turnedPart.width() / kx))),
                             std::max(1, int(std::lround(turnedPart.height() / ky))));
    const QSize unturnedOnCanvas = (p.turns % 2) ? partOnCanvas.transposed() : partOnCanvas;
    if (part.size() != unturnedOnCanvas)
        part = part.scaled(unturnedOnCanvas, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (p.turns % 4)
        part = part.transformed(QTransform().rotate(90.0 * (p.turns % 4)));
    const QPoint at(int(std::lround(target.left() + turnedPart.left() / kx)),
                    int(std::lround(target.top() + turnedPart.top() / ky)));
    if (at == QPoint(0, 0) && part.size() == canvasSize)
        return part;
    QImage canvas(canvasSize, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawImage(at, part);
    painter.end();
    return canvas;
}

double placedResolutionPpi(QSizeF picturePixels, QSizeF areaMm, const Placement &p)
{
    const QRectF placed = placedRect(picturePixels, areaMm, p);
    const QRectF visible = placed & QRectF(QPointF(), areaMm);
    if (placed.isEmpty() || visible.isEmpty())
        return 0;
    // The part of the turned picture that shows, in its pixels.
    const QSizeF turned = turnedSize(picturePixels, p.turns);
    const QSizeF source(visible.width() * turned.width() / placed.width(),
                        visible.height() * turned.height() / placed.height());
    return printResolutionPpi(QRectF(QPointF(), source), visible.size());
}

} // namespace vt

namespace vt {

QSize printPictureSize(QSize picturePixels, QSizeF areaMm, const Placement &p, double ppi)
{
    const QRectF placed = placedRect(QSizeF(picturePixels), areaMm, p);
    if (placed.isEmpty() || !(ppi > 0))
        return picturePixels;
    // The share of the turned picture's pixels each direction needs: the placed size in
    // inches times ppi, over the pixels it has.
    const QSizeF turned = turnedSize(QSizeF(picturePixels), p.turns);
    double across = std::min(1.0, placed.width() / 25.4 * ppi / turned.width());
    double down = std::min(1.0, placed.height() / 25.4 * ppi / turned.height());
    if (p.mode != Placement::Mode::Stretch)
        across = down = std::max(across, down);
    if (p.turns % 2)
        std::swap(across, down);
    // Rounded up, so the reduced picture never falls below ppi; the tolerance keeps an
    // exact product from gaining a pixel through rounding error.
    auto reduced = [](int pixels, double share) {
        return std::clamp(int(std::ceil(pixels * share - 1e-6)), 1, pixels);
    };
    return {reduced(picturePixels.width(), across), reduced(picturePixels.height(), down)};
}

} // namespace vt

namespace vt {

int previewPictureSide(int screenSide, double devicePixelRatio, double zoom)
{
    double steps = 1;
    while (steps < zoom && steps < 64)
        steps *= 2;
    return int(std::ceil(std::max(1, screenSide) * std::max(2.0, devicePixelRatio) * steps));
}

} // namespace vt
