#include "ui/main/PreviewCanvas.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWheelEvent>

#include "formats/PreviewPixels.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace vt {

namespace {
quint64 sizeKey(QSize s)
{
    return (quint64(quint32(s.width())) << 32) | quint32(s.height());
}
} // namespace

PreviewCanvas::PreviewCanvas(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PreviewCanvas"));
    setMouseTracking(true);
    // A click on the preview lets + and − zoom the picture under the pointer.
    setFocusPolicy(Qt::ClickFocus);
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewCanvas::setPreview(const PreviewLayout &layout, const ViewPictures &pictures)
{
    m_layout = layout;
    m_pictures = pictures;
    update();
}

QRectF PreviewCanvas::toPixels(const TwipRect &r)
{
    return {r.left / TwipsPerPixel, r.top / TwipsPerPixel, r.width / TwipsPerPixel, r.height / TwipsPerPixel};
}

std::optional<PreviewView> PreviewCanvas::viewAt(QPointF pixel) const
{
    return hitTest(m_layout, pixel * TwipsPerPixel);
}

QPixmap PreviewCanvas::scaledPixmap(const QImage &picture, QSize target) const
{
    if (picture.isNull() || target.isEmpty())
        return QPixmap();
    const QPair<qint64, quint64> key(picture.cacheKey(), sizeKey(target));
    auto it = m_cache.constFind(key);
    if (it == m_cache.constEnd()) {
        // Large photos: a cheap nearest-pixel step to twice the target first, then a
        // smooth step, costs time in proportion to the preview, not to the photo.
        QImage img = picture;
        if (img.width() > target.width() * 4 && img.height() > target.height() * 4)
            img = img.scaled(target * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        it = m_cache.insert(key, QPixmap::fromImage(img.scaled(target, Qt::IgnoreAspectRatio,
                                                               Qt::SmoothTransformation)));
    }
    m_usedThisPaint.insert(key, *it);
    return *it;
}

void PreviewCanvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintPreview(p, rect(), devicePixelRatioF());
}

void PreviewCanvas::paintPreview(QPainter &p, const QRect &bounds, qreal dpr)
{
    p.fillRect(bounds, palette().window());
    m_usedThisPaint.clear();
    if (!m_backdrop.isNull() && m_backdropRect.isValid()) {
        // Scaled once per size: stretching the picture on every paint would cost each repaint.
        const qreal ratio = devicePixelRatioF();
        const QSize device = (QSizeF(m_backdropRect.size()) * ratio).toSize();
        if (m_backdropScaled.size() != device || m_backdropScaled.devicePixelRatio() != ratio) {
            m_backdropScaled = m_backdrop.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            m_backdropScaled.setDevicePixelRatio(ratio);
        }
        p.drawPixmap(m_backdropRect.topLeft(), m_backdropScaled);
    }

    // Everything below is drawn in device pixels, on rectangles snapped to them.
    p.save();
    p.scale(1 / dpr, 1 / dpr);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect deviceBounds(QPoint(int(std::floor(bounds.left() * dpr)), int(std::floor(bounds.top() * dpr))),
                             QSize(int(std::ceil(bounds.width() * dpr)), int(std::ceil(bounds.height() * dpr))));
    if (m_layout.frame.visible)
        p.fillRect(deviceFrameRect(m_layout, dpr), QColor(96, 96, 96));
    if (m_layout.sheet.visible)
        p.fillRect(devicePixelRect(m_layout.sheet, dpr), Qt::white);

    for (PreviewView view : PaintOrder) {
        const TwipRect &r = viewRect(m_layout, view);
        const QImage &picture = m_pictures[size_t(view)];
        if (!r.visible || picture.isNull() || r.width <= 0 || r.height <= 0)
            continue;
        const QRect target = devicePixelRect(r, dpr);
        if (target.isEmpty() || !target.intersects(deviceBounds))
            continue;
        if (target.width() > MaxCachedSide || target.height() > MaxCachedSide) {
            // A catalogue with absurd sizes must not make us allocate a giant pixmap:
            // let the painter scale straight into the visible part.
            p.drawImage(QRectF(target), picture);
            continue;
        }
        p.drawPixmap(target.topLeft(), scaledPixmap(picture, target.size()));
    }

    // Outlines: one device pixel wide on the areas' outermost pixels, aliased, so every
    // edge is the same crisp line (a one-pixel pen draws to the right of and below
    // its coordinates, hence the rectangle one pixel smaller).
    for (const Outline &o : m_layout.outlines) {
        if (!o.rect.visible)
            continue;
        const QRect r = devicePixelRect(o.rect, dpr);
        if (r.isEmpty())
            continue;
        QPen pen(o.color, 1);
        pen.setCosmetic(true);
        if (o.dotted)
            pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const QRect inner(r.topLeft(), r.size() - QSize(1, 1));
        if (o.shape == OutlineShape::Circle) {
            const int d = std::min(inner.width(), inner.height());
            const QPoint centre = inner.center();
            p.drawEllipse(QRect(centre.x() - d / 2, centre.y() - d / 2, d, d));
        } else {
            p.drawRect(inner);
        }
    }
    p.restore();
    // Only what this paint used stays cached: a new picture or size replaces the old.
    m_cache.swap(m_usedThisPaint);
    m_usedThisPaint.clear();
}

void PreviewCanvas::setBackdrop(const QPixmap &picture, const QRect &rect)
{
    if (picture.cacheKey() == m_backdrop.cacheKey() && rect == m_backdropRect)
        return;
    if (picture.cacheKey() != m_backdrop.cacheKey())
        m_backdropScaled = QPixmap();
    m_backdrop = picture;
    m_backdropRect = rect;
    update();
}

QCursor PreviewCanvas::pictureCursor()
{
    // An arrow with a small picture beside it: "click here to choose a picture".
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({{1, 1}, {1, 17}, {5, 13}, {8, 20}, {10.5, 19}, {7.5, 12}, {13, 12}}));
    const QRectF frame(14.5, 16.5, 15, 12);
    p.setPen(QPen(QColor(40, 40, 40), 1.2));
    p.setBrush(QColor(235, 245, 255));
    p.drawRect(frame);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 160, 70));
    p.drawPolygon(QPolygonF({{15.5, 27.5}, {20.5, 21.5}, {24, 25}, {26, 23}, {28.5, 27.5}}));
    p.setBrush(QColor(240, 190, 40));
    p.drawEllipse(QPointF(25.5, 19.8), 1.6, 1.6);
    p.end();
    return QCursor(pm, 1, 1);
}

void PreviewCanvas::mouseMoveEvent(QMouseEvent *event)
{
    static const QCursor cursor = pictureCursor();
    const auto view = viewAt(event->position());
    if (m_pressed && (event->buttons() & Qt::LeftButton)) {
        // A press that moves far enough drags the picture instead of choosing a new one.
        if (!m_dragging
            && (event->position() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            m_dragging = true;
            m_lastDragPos = m_pressPos;
            setCursor(Qt::ClosedHandCursor);
        }
        if (m_dragging) {
            emit pictureDragged(*m_pressed, event->position() - m_lastDragPos);
            m_lastDragPos = event->position();
        }
        return;
    }
    if (view) {
        m_lastView = view;
        setCursor(cursor);
    } else {
        unsetCursor();
    }
}

void PreviewCanvas::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton ? viewAt(event->position()) : std::nullopt;
    m_pressPos = event->position();
    m_dragging = false;
    if (m_pressed)
        m_lastView = m_pressed;
}

void PreviewCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    const bool dragged = std::exchange(m_dragging, false);
    const std::optional<PreviewView> pressed = std::exchange(m_pressed, std::nullopt);
    if (dragged) {
        unsetCursor();
        return;
    }
    if (event->button() != Qt::LeftButton || !pressed)
        return;
    if (viewAt(event->position()) == pressed)
        emit viewClicked(*pressed);
}

void PreviewCanvas::wheelEvent(QWheelEvent *event)
{
    const auto view = viewAt(event->position());
    if (!view) {
        event->ignore();
        return;
    }
    m_lastView = view;
    m_wheelRest += event->angleDelta().y();
    const int steps = m_wheelRest / 120;
    m_wheelRest -= steps * 120;
    if (steps != 0)
        emit pictureZoomed(*view, steps);
    event->accept();
}

void PreviewCanvas::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const int steps = key == Qt::Key_Plus || key == Qt::Key_Equal ? 1 : key == Qt::Key_Minus ? -1 : 0;
    if (steps == 0 || !m_lastView || !viewRect(m_layout, *m_lastView).visible) {
        QWidget::keyPressEvent(event);
        return;
    }
    emit pictureZoomed(*m_lastView, steps);
}

void PreviewCanvas::contextMenuEvent(QContextMenuEvent *event)
{
    const auto view = viewAt(event->pos());
    if (!view)
        return;
    m_lastView = view;
    emit pictureMenuRequested(*view, event->globalPos());
}

QStringList PreviewCanvas::localFiles(const QMimeData *mime)
{
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

void PreviewCanvas::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void PreviewCanvas::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasUrls() && dropTargetAt(event->position()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void PreviewCanvas::dropEvent(QDropEvent *event)
{
    const auto view = dropTargetAt(event->position());
    if (!view)
        return;
    event->acceptProposedAction();
    // A drop that carries no local file still reaches the slot, which reports it.
    emit filesDropped(*view, localFiles(event->mimeData()));
}

} // namespace vt
