#include "ui/main/ResolutionMarks.h"

#include "app/AppState.h"
#include "common/Twips.h"
#include "document/CoverDocument.h"
#include "document/CoverRender.h"
#include "document/PlacementGeometry.h"
#include "formats/PrintResolution.h"
#include "formats/Templates.h"

#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWidget>

#include <cmath>

namespace vt {

namespace {

QRect pixelsOf(const TwipRect &r)
{
    return QRectF(r.left / TwipsPerPixel, r.top / TwipsPerPixel, r.width / TwipsPerPixel, r.height / TwipsPerPixel)
        .toAlignedRect();
}

// A yellow warning triangle with an exclamation mark, drawn so it is sharp at any scale.
QPixmap drawSign(int size, qreal ratio)
{
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPainterPath triangle;
    triangle.moveTo(s * 0.5, s * 0.06);
    triangle.lineTo(s * 0.96, s * 0.9);
    triangle.lineTo(s * 0.04, s * 0.9);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(0x5a, 0x43, 0x00), s * 0.07, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xff, 0xc8, 0x1e));
    p.drawPath(triangle);
    p.setPen(QPen(QColor(0x2b, 0x20, 0x00), s * 0.11, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.5, s * 0.34), QPointF(s * 0.5, s * 0.6));
    p.drawPoint(QPointF(s * 0.5, s * 0.76));
    return pixmap;
}

} // namespace

QList<ResolutionMark> resolutionMarks(const AppState &state, const CoverContent &cover, const PreviewLayout &layout)
{
    QList<ResolutionMark> marks;
    const int formatIndex = cover.format;
    const AreaSizes areasMm = areaSizesMm(state, formatIndex);
    for (int slot = 0; slot < 3; ++slot) {
        const CoverSlot &s = cover.pictures[size_t(slot)];
        if (isFreeForPlaceholder(slot, s.path) || s.picture.isNull())
            continue; // the blank start or a template: nothing of the user's to judge
        QRect area;
        if (slot == 0 && isSlimFormat(formatIndex)) {
            for (const TwipRect *piece : {&layout.slimBack, &layout.slimSpine, &layout.slimFront})
                if (piece->visible)
                    area |= pixelsOf(*piece);
        } else if (layout.areas[size_t(slot)].visible) {
            area = pixelsOf(layout.areas[size_t(slot)]);
        }
        if (area.isEmpty())
            continue;
        const double ppi = placedResolutionPpi(QSizeF(s.picture.size()), areasMm[size_t(slot)], s.placement);
        if (!isLowResolution(ppi))
            continue;
        const int shown = int(std::lround(ppi));
        marks.append({area, shown,
                      state.Language.fallbackText(LanguageTable::LowResolutionEntry).arg(shown)});
    }
    return marks;
}

ResolutionMarks::ResolutionMarks(QWidget *canvas) : QObject(canvas), m_canvas(canvas)
{
    canvas->installEventFilter(this);
}

void ResolutionMarks::show(const QList<ResolutionMark> &marks)
{
    if (!m_canvas)
        return;
    while (m_signs.size() > marks.size())
        delete m_signs.takeLast();
    while (m_signs.size() < marks.size()) {
        auto *sign = new QLabel(m_canvas);
        sign->setObjectName(QStringLiteral("LowResolutionMark"));
        sign->setPixmap(drawSign(SignSize, m_canvas->devicePixelRatioF()));
        sign->setFixedSize(SignSize, SignSize);
        // Clicks and drops go to the picture area below; the canvas shows the tip.
        sign->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_signs.append(sign);
    }
    for (int i = 0; i < marks.size(); ++i) {
        QLabel *sign = m_signs[i];
        const QRect area = marks[i].area;
        sign->move(area.right() + 1 - Inset - SignSize, area.top() + Inset);
        sign->setToolTip(marks[i].tip);
        sign->setAccessibleDescription(marks[i].tip);
        sign->show();
        sign->raise();
    }
}

bool ResolutionMarks::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_canvas && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        for (QLabel *sign : std::as_const(m_signs)) {
            if (sign->isVisible() && sign->geometry().contains(help->pos())) {
                QToolTip::showText(help->globalPos(), sign->toolTip(), m_canvas, sign->geometry());
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vt
