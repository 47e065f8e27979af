#pragma once
// Paints the cover preview the arrangement computed: the sheet, the pictures stretched
// to their rectangles in stacking order, the outlines. Forwards clicks, file drops,
// drags, zoom steps and context menus on the picture views. Scaled pixmaps are cached, so repaints without a new picture cost
// no scaling.
#include "common/Twips.h"
#include "formats/PreviewArrangement.h"

#include <QCursor>
#include <QMimeData>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <optional>

class QPainter;

namespace vt {

class PreviewCanvas : public QWidget
{
    Q_OBJECT
public:
    // Larger pictures on screen are painted without a cached copy.
    static constexpr double MaxCachedSide = 8192;
    using ViewPictures = std::array<QImage, 7>; // indexed by PreviewView

    explicit PreviewCanvas(QWidget *parent = nullptr);

    void setPreview(const PreviewLayout &layout, const ViewPictures &pictures);
    // Drops the full-size pictures (the scaled copies on screen stay) until the next
    // setPreview, so their owners can reuse the memory.
    void releasePictures() { m_pictures = {}; }
    const PreviewLayout &previewLayout() const { return m_layout; }
    const ViewPictures &pictures() const { return m_pictures; }

    std::optional<PreviewView> viewAt(QPointF pixel) const;
    // Where a file dropped at this point goes: any visible picture view of a slot.
    std::optional<PreviewView> dropTargetAt(QPointF pixel) const { return viewAt(pixel); }

    // A stretched copy of a picture for a rectangle of this size, cached by picture and size.
    QPixmap scaledPixmap(const QImage &picture, QSize devicePixels) const;
    int cachedPixmapCount() const { return int(m_cache.size()); }

    static QCursor pictureCursor();

    // What paintEvent draws, onto any painter whose device has this pixel ratio.
    void paintPreview(QPainter &p, const QRect &bounds, qreal devicePixelRatio);
    // The window's background picture, stretched to rect (pixels) under everything else.
    void setBackdrop(const QPixmap &picture, const QRect &rect);

signals:
    void viewClicked(vt::PreviewView view);
    void filesDropped(vt::PreviewView view, const QStringList &paths);
    // The picture of a view dragged by this many pixels since the last signal.
    void pictureDragged(vt::PreviewView view, QPointF deltaPixels);
    // Zoom steps over a view: the wheel's notches, or + and − for the view under the
    // pointer (or the one last pressed).
    void pictureZoomed(vt::PreviewView view, int steps);
    void pictureMenuRequested(vt::PreviewView view, QPoint globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    static QRectF toPixels(const TwipRect &r);
    static QStringList localFiles(const QMimeData *mime);

    PreviewLayout m_layout;
    ViewPictures m_pictures;
    std::optional<PreviewView> m_pressed;
    std::optional<PreviewView> m_lastView; // under the pointer, or last pressed: + and − zoom it
    QPointF m_pressPos, m_lastDragPos;
    bool m_dragging = false;
    int m_wheelRest = 0; // eighths of a degree not yet a whole notch (fine-grained wheels)
    QPixmap m_backdrop;
    QRect m_backdropRect;
    mutable QPixmap m_backdropScaled;
    mutable QHash<QPair<qint64, quint64>, QPixmap> m_cache;
    mutable QHash<QPair<qint64, quint64>, QPixmap> m_usedThisPaint;
};

} // namespace vt
