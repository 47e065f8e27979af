#include "print/PagePainter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vt {

namespace {

QSize printSizeOf(const QImage &picture, QSizeF sizeMm)
{
    const double perMm = MaxPrintPixelsPerInch / 25.4;
    const int maxW = std::max(1, int(std::ceil(std::abs(sizeMm.width()) * perMm)));
    const int maxH = std::max(1, int(std::ceil(std::abs(sizeMm.height()) * perMm)));
    return picture.size().boundedTo(QSize(maxW, maxH));
}

} // namespace

bool printsAsIs(const QImage &picture, QSizeF sizeMm)
{
    return picture.isNull() || printSizeOf(picture, sizeMm) == picture.size();
}

QImage pictureForPrint(const QImage &picture, QSizeF sizeMm)
{
    if (printsAsIs(picture, sizeMm))
        return picture;
    const QSize size = printSizeOf(picture, sizeMm);
    return picture.scaled(size.width(), size.height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QFont footerFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8);
    return font;
}

TextMeasure footerMeasure(QPaintDevice *device)
{
    return [device](const QString &text) {
        const QFontMetricsF metrics(footerFont(), device);
        const double perMm = device->logicalDpiX() / 25.4;
        const double perMmY = device->logicalDpiY() / 25.4;
        return QSizeF(metrics.horizontalAdvance(text) / perMm, metrics.height() / perMmY);
    };
}

namespace {

// The picture with its outermost pixels repeated outward: pad.left() columns to the
// left and so on. Each pixel keeps its place relative to the picture's own.
QImage withEdgesExtended(const QImage &picture, const QMargins &pad)
{
    // Both formats are 32 bits a pixel; an opaque picture stays opaque, so a PDF gets no
    // soft mask to write for it.
    const QImage::Format format =
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    const QImage source = picture.convertToFormat(format);
    const int w = source.width();
    const int h = source.height();
    QImage out(w + pad.left() + pad.right(), h + pad.top() + pad.bottom(), format);
    for (int y = 0; y < out.height(); ++y) {
        const int sy = std::clamp(y - pad.top(), 0, h - 1);
        const auto *from = reinterpret_cast<const QRgb *>(source.constScanLine(sy));
        auto *to = reinterpret_cast<QRgb *>(out.scanLine(y));
        std::fill(to, to + pad.left(), from[0]);
        std::copy(from, from + w, to + pad.left());
        std::fill(to + pad.left() + w, to + out.width(), from[w - 1]);
    }
    return out;
}

} // namespace

void paintPage(QPainter &painter, const PageGeometry &g, const PrintComposition &page, const PagePictures &pictures,
               QStringList &failures)
{
    const double s = g.dotsPerMm;
    // A printer's correction moves and stretches the whole page, lines and texts
    // included, about the printable area's corner: that corner moves by the offsets,
    // and every distance from it grows by the scales. So a user measures the
    // calibration square's position from the corner and its size, and each number
    // corrects one thing.
    const PrintCorrection c = g.correction;
    auto device = [&](const QRectF &mm) { return QRectF(mm.x() * s, mm.y() * s, mm.width() * s, mm.height() * s); };
    painter.save();
    painter.translate((g.originMm.x() + c.offsetXMm) * s, (g.originMm.y() + c.offsetYMm) * s);
    painter.scale(c.scaleXPercent / 100, c.scaleYPercent / 100);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(Qt::black);
    pen.setWidthF(OutlineWidthMm * s);
    pen.setCosmetic(false);
    for (const PageOperation &op : page.operations) {
        switch (op.kind) {
        case PageOperation::Kind::Picture: {
            const QImage &source = pictures[size_t(op.picture)];
            if (source.isNull()) {
                failures << QStringLiteral("picture %1 is missing").arg(int(op.picture) + 1);
                break;
            }
            const QImage picture = pictureForPrint(source, op.rect.size());
            const QMarginsF bleed = op.bleedMm;
            if (bleed.isNull() || op.rect.width() <= 0 || op.rect.height() <= 0) {
                painter.drawImage(device(op.rect), picture);
                break;
            }
            // Whole pixels added at the picture's own scale, then clipped to the bleed:
            // drawing a fraction of a pixel would need a source rectangle, which a PDF
            // rounds to whole pixels and so would shift the picture.
            const double perMmX = picture.width() / op.rect.width();
            const double perMmY = picture.height() / op.rect.height();
            const QMargins pad(int(std::ceil(bleed.left() * perMmX)), int(std::ceil(bleed.top() * perMmY)),
                               int(std::ceil(bleed.right() * perMmX)), int(std::ceil(bleed.bottom() * perMmY)));
            const QRectF padded = op.rect.marginsAdded(QMarginsF(pad.left() / perMmX, pad.top() / perMmY,
                                                                 pad.right() / perMmX, pad.bottom() / perMmY));
            // A side without bleed is not clipped at all (the clip lies 1 mm out, where the
            // picture does not reach): a clip edge along a picture's edge shows as a
            // light seam in some renderers where the slim pieces overlap.
            auto clipSide = [](double b) { return b > 0 ? b : 1.0; };
            const QMarginsF clip(clipSide(bleed.left()), clipSide(bleed.top()), clipSide(bleed.right()),
                                 clipSide(bleed.bottom()));
            painter.save();
            painter.setClipRect(device(op.rect.marginsAdded(clip)), Qt::IntersectClip);
            painter.drawImage(device(padded), withEdgesExtended(picture, pad));
            painter.restore();
            break;
        }
        case PageOperation::Kind::Box:
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(device(op.rect));
            break;
        case PageOperation::Kind::Circle:
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(device(op.rect));
            break;
        case PageOperation::Kind::Line: {
            painter.setPen(pen);
            const QRectF r = device(op.rect);
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        }
        case PageOperation::Kind::Text: {
            painter.setFont(footerFont());
            painter.setPen(Qt::black);
            const QRectF r = device(op.rect);
            const QFontMetricsF metrics(footerFont(), painter.device());
            painter.drawText(QPointF(r.left(), r.top() + metrics.ascent()), op.text);
            break;
        }
        }
    }
    painter.restore();
}

} // namespace vt
