#include "print/PagePainter.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace vt {

QImage pictureForPrint(const QImage &picture, QSizeF sizeMm)
{
    if (picture.isNull())
        return picture;
    const double perMm = MaxPrintPixelsPerInch / 25.4;
    const int maxW = std::max(1, int(std::ceil(std::abs(sizeMm.width()) * perMm)));
    const int maxH = std::max(1, int(std::ceil(std::abs(sizeMm.height()) * perMm)));
    const int w = std::min(picture.width(), maxW);
    const int h = std::min(picture.height(), maxH);
    if (w == picture.width() && h == picture.height())
        return picture;
    return picture.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
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

void paintPage(QPainter &painter, const PageGeometry &g, const PrintComposition &page, const PagePictures &pictures,
               QStringList &failures)
{
    const double s = g.dotsPerMm;
    auto device = [&](const QRectF &mm) {
        return QRectF((g.originMm.x() + mm.x()) * s, (g.originMm.y() + mm.y()) * s, mm.width() * s,
                      mm.height() * s);
    };
    painter.save();
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
            painter.drawImage(device(op.rect), pictureForPrint(source, op.rect.size()));
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
