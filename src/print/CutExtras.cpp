#include "print/CutExtras.h"

#include <algorithm>
#include <cmath>

namespace vt {

namespace {

bool isSlimPiece(PrintPicture p)
{
    return p == PrintPicture::SlimBack || p == PrintPicture::SlimSpine || p == PrintPicture::SlimFront;
}

// Positions are whole or half millimetres plus sizes in double: a hundredth of a
// millimetre tells an edge that is shared from one that is not.
bool same(double a, double b)
{
    return std::abs(a - b) < 0.01;
}

// The cut rectangle a picture belongs to.
QRectF cutOf(const PageOperation &op, const QList<QRectF> &cuts)
{
    for (const QRectF &cut : cuts)
        if (cut.contains(op.rect.center()) && (isSlimPiece(op.picture) || cut == op.rect))
            return cut;
    return op.rect;
}

// Whether an axis-aligned mark from a to b, as thick as it prints, lies over r; a mark
// along r's edge would print half over it.
bool crosses(QPointF a, QPointF b, const QRectF &r)
{
    const double half = CropMarkWidthMm / 2;
    const QRectF n = r.normalized().adjusted(-half, -half, half, half);
    const double left = std::min(a.x(), b.x()), right = std::max(a.x(), b.x());
    const double top = std::min(a.y(), b.y()), bottom = std::max(a.y(), b.y());
    return right > n.left() && left < n.right() && bottom > n.top() && top < n.bottom();
}

} // namespace

QList<QRectF> cutRectangles(const PrintComposition &page)
{
    QList<QRectF> cuts;
    QRectF slim;
    for (const PageOperation &op : page.operations) {
        if (op.kind != PageOperation::Kind::Picture)
            continue;
        if (isSlimPiece(op.picture))
            slim = slim.isNull() ? op.rect : slim.united(op.rect);
        else if (!cuts.contains(op.rect))
            cuts << op.rect;
    }
    if (!slim.isNull())
        cuts.prepend(slim);
    return cuts;
}

PrintComposition withCutExtras(const PrintComposition &page, bool cropMarks, double bleedMm)
{
    PrintComposition out = page;
    const QList<QRectF> cuts = cutRectangles(page);
    const double bleed = std::isfinite(bleedMm) ? std::clamp(bleedMm, 0.0, MaxBleedMm) : 0.0;
    if (bleed > 0) {
        for (PageOperation &op : out.operations) {
            if (op.kind != PageOperation::Kind::Picture)
                continue;
            const QRectF cut = cutOf(op, cuts);
            const QRectF r = op.rect;
            op.bleedMm = QMarginsF(same(r.left(), cut.left()) ? bleed : 0, same(r.top(), cut.top()) ? bleed : 0,
                                   same(r.right(), cut.right()) ? bleed : 0,
                                   same(r.bottom(), cut.bottom()) ? bleed : 0);
        }
        // A picture's bleed must not lie over another cut piece of the cover: where two
        // pieces are closer than the bleed, each bleeds only up to the gap's middle.
        for (PageOperation &op : out.operations) {
            if (op.kind != PageOperation::Kind::Picture)
                continue;
            const QRectF own = cutOf(op, cuts);
            for (const QRectF &other : cuts) {
                if (other == own)
                    continue;
                const QRectF r = op.rect;
                const bool rowsMeet = other.bottom() > r.top() - bleed && other.top() < r.bottom() + bleed;
                const bool columnsMeet = other.right() > r.left() - bleed && other.left() < r.right() + bleed;
                QMarginsF &b = op.bleedMm;
                if (rowsMeet && other.right() <= r.left() && r.left() - other.right() < 2 * b.left())
                    b.setLeft((r.left() - other.right()) / 2);
                if (rowsMeet && other.left() >= r.right() && other.left() - r.right() < 2 * b.right())
                    b.setRight((other.left() - r.right()) / 2);
                if (columnsMeet && other.bottom() <= r.top() && r.top() - other.bottom() < 2 * b.top())
                    b.setTop((r.top() - other.bottom()) / 2);
                if (columnsMeet && other.top() >= r.bottom() && other.top() - r.bottom() < 2 * b.bottom())
                    b.setBottom((other.top() - r.bottom()) / 2);
            }
        }
    }
    if (cropMarks) {
        const double near = CropMarkGapMm;
        const double far = CropMarkGapMm + CropMarkLengthMm;
        for (const QRectF &cut : cuts) {
            const QRectF r = cut.normalized();
            for (const QPointF corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
                // Outward from this corner: left corners mark to the left, top ones upward.
                const double sx = same(corner.x(), r.left()) ? -1 : 1;
                const double sy = same(corner.y(), r.top()) ? -1 : 1;
                const QPointF marks[2][2] = {
                    {{corner.x() + sx * near, corner.y()}, {corner.x() + sx * far, corner.y()}},
                    {{corner.x(), corner.y() + sy * near}, {corner.x(), corner.y() + sy * far}},
                };
                for (const auto &mark : marks) {
                    const bool overCover = std::any_of(cuts.begin(), cuts.end(), [&](const QRectF &c) {
                        return crosses(mark[0], mark[1], c);
                    });
                    if (!overCover)
                        out.operations.append({PageOperation::Kind::Line, {}, QRectF(mark[0], mark[1]), {}});
                }
            }
        }
    }
    return out;
}

} // namespace vt
