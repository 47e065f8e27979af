#include "platform/PictureSurface.h"

#include "platform/HugePages.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace vt {

namespace {

// A copy of the image in memory of its own, backed by huge pages when possible; a null
// image when the memory could not be had.
QImage copyIntoHugePages(const QImage &image)
{
    // Rows packed tight: the image may be a view into a larger picture, whose rows are
    // further apart than its own width (and whose last row ends before bytesPerLine).
    if (image.depth() < 8)
        return QImage();
    QImage copy = imageInHugePages(image.size(), image.format());
    if (copy.isNull())
        return copy;
    const size_t rowBytes = size_t(image.width()) * size_t(image.depth() / 8);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(copy.scanLine(y), image.constScanLine(y), rowBytes);
    copy.setDotsPerMeterX(image.dotsPerMeterX());
    copy.setDotsPerMeterY(image.dotsPerMeterY());
    return copy;
}

} // namespace

bool PictureSurface::takeIn(const QImage &picture)
{
    if (picture.isNull())
        return false;
    // Titles and pieces are drawn on a 32-bit bitmap; pictures decoded in another
    // format are converted here.
    const QImage::Format wanted =
        picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    const bool reusable = !m_bitmap.isNull() && m_bitmap.size() == picture.size()
                          && m_bitmap.format() == wanted && m_bitmap.isDetached()
                          && m_bitmap.constBits() != picture.constBits();
    if (!reusable) {
        m_bitmap = picture.format() == wanted ? picture : picture.convertToFormat(wanted);
        return !m_bitmap.isNull();
    }
    if (picture.format() == wanted) {
        const size_t rowBytes = size_t(picture.width()) * 4;
        for (int y = 0; y < picture.height(); ++y)
            std::memcpy(m_bitmap.scanLine(y), picture.constScanLine(y), rowBytes);
    } else {
        // Source composition converts pixel for pixel exactly as convertToFormat does,
        // but into the buffer we already own.
        QPainter painter(&m_bitmap);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(0, 0, picture);
    }
    m_bitmap.setDotsPerMeterX(picture.dotsPerMeterX());
    m_bitmap.setDotsPerMeterY(picture.dotsPerMeterY());
    return true;
}

bool PictureSurface::cut(int x, int y, int w, int h)
{
    if (m_bitmap.isNull())
        return false;
    const QRect r = QRect(x, y, w, h).intersected(m_bitmap.rect());
    if (r.isEmpty())
        return false;
    m_bitmap = m_bitmap.copy(r);
    return !m_bitmap.isNull();
}

void PictureSurface::setFontName(const QString &family)
{
    m_family = family;
    fontChanged();
}

void PictureSurface::setFontSize(int pixels)
{
    m_fontSize = pixels;
    fontChanged();
}

void PictureSurface::setBold(bool on)
{
    m_bold = on;
    fontChanged();
}

void PictureSurface::setItalic(bool on)
{
    m_italic = on;
    fontChanged();
}

void PictureSurface::setUnderline(bool on)
{
    m_underline = on;
    fontChanged();
}

bool PictureSurface::setTextAngle(int degrees)
{
    if (degrees != 0 && degrees != 270)
        return false;
    m_angle = degrees;
    return true;
}

// "Liberation Sans [1ASC]" -> "Liberation Sans": the resolved name may carry its foundry.
static QString withoutFoundry(const QString &family)
{
    const qsizetype bracket = family.indexOf(QLatin1String(" ["));
    return bracket < 0 ? family : family.left(bracket);
}

QFont PictureSurface::font() const
{
    if (m_fontResolved)
        return m_font;
    QFont f;
    f.setFamilies({m_family});
    f.setPixelSize(std::clamp(m_fontSize, 1, kLargestRasterFont));
    f.setBold(m_bold);
    f.setItalic(m_italic);
    f.setUnderline(m_underline);
    f.setStyleStrategy(QFont::PreferAntialias);
    // Font matching substitutes something for a family that is not installed, and on
    // a typical Linux system that can be a dingbat font (a missing "Impact" lands on
    // one). Only a symbol font the user named deliberately is worth keeping.
    const QString resolved = QFontInfo(f).family();
    const bool substituted =
        withoutFoundry(resolved).compare(m_family.trimmed(), Qt::CaseInsensitive) != 0;
    if (substituted
        && QFontDatabase::writingSystems(resolved).contains(QFontDatabase::Symbol)) {
        f.setFamilies({QStringLiteral("sans-serif")});
        f.setStyleHint(QFont::SansSerif);
    }
    m_font = f;
    m_fontResolved = true;
    return m_font;
}

double PictureSurface::rasterScale() const
{
    return m_fontSize > kLargestRasterFont ? double(m_fontSize) / kLargestRasterFont : 1.0;
}

PictureSurface::Metrics PictureSurface::measure(const QString &text) const
{
    if (m_fontSize <= 0)
        return {};
    const double scale = rasterScale();
    if (scale == 1.0) {
        // Whole-pixel metrics at raster sizes, so the baseline falls on a pixel row and
        // the glyphs keep their hinted shape.
        const QFontMetrics fm(font());
        return {double(fm.horizontalAdvance(text)), double(fm.ascent()), double(fm.height())};
    }
    const QFontMetricsF fm(font());
    return {fm.horizontalAdvance(text) * scale, fm.ascent() * scale,
            (fm.ascent() + fm.descent()) * scale};
}

int PictureSurface::textWidth(const QString &text) const
{
    return qRound(measure(text).advance);
}

int PictureSurface::textHeight(const QString &text) const
{
    return qRound(measure(text).lineHeight);
}

bool PictureSurface::drawText(const QString &text, int x, int y, const QColor &colour)
{
    if (m_bitmap.isNull())
        return false;
    if (m_fontSize <= 0 || text.isEmpty())
        return true;
    const Metrics m = measure(text);
    // Drawing must not change a picture given out earlier (or the clean picture taken
    // in), which may still share the bitmap: the bitmap gets its own memory first. A
    // large one is copied into huge pages; otherwise, writing through bits() detaches.
    if (!m_bitmap.isDetached() && m_bitmap.sizeInBytes() >= HugePageThreshold) {
        QImage own = copyIntoHugePages(m_bitmap);
        if (!own.isNull())
            m_bitmap = own;
    }
    if (!m_bitmap.bits())
        return false;
    QPainter painter(&m_bitmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setFont(font());
    painter.setPen(colour);
    painter.translate(x, y);
    if (m_angle == 270)
        painter.rotate(90); // clockwise on a y-down bitmap: the text's top faces +x
    const double scale = rasterScale();
    if (scale != 1.0) {
        painter.scale(scale, scale);
        painter.drawText(QPointF(0, m.ascent / scale), text);
    } else {
        painter.drawText(QPointF(0, m.ascent), text);
    }
    return true;
}

} // namespace vt
