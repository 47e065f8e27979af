#include "ui/main/PreviewSources.h"

#include "document/PlacementGeometry.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace vt {

CoverContent PreviewSources::shown(const CoverContent &c)
{
    CoverContent out = c;
    m_reduced = false;
    for (int k = 0; k < 3; ++k) {
        const CoverSlot &slot = c.pictures[size_t(k)];
        const QImage picture = pictureFor(k, slot);
        if (picture.cacheKey() != slot.picture.cacheKey()) {
            out.pictures[size_t(k)].picture = picture;
            m_reduced = true;
        }
    }
    return out;
}

QImage PreviewSources::pictureFor(int slot, const CoverSlot &picture)
{
    const QImage &full = picture.picture;
    int screenSide = 0;
    double ratio = 1;
    for (const QScreen *screen : QGuiApplication::screens()) {
        screenSide = std::max({screenSide, screen->size().width(), screen->size().height()});
        ratio = std::max(ratio, screen->devicePixelRatio());
    }
    const int side = previewPictureSide(screenSide, ratio, picture.placement.zoom);
    Kept &kept = m_kept[size_t(slot)];
    if (full.isNull() || screenSide <= 0 || std::max(full.width(), full.height()) <= side) {
        kept = {};
        return full;
    }
    if (kept.sourceKey != full.cacheKey() || kept.side != side)
        kept = {full.cacheKey(), side, full.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation)};
    return kept.image;
}

} // namespace vt
