#include "formats/PreviewPixels.h"

#include "common/Twips.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vt {

namespace {
int devicePixel(double twips, double devicePixelRatio)
{
    const double px = std::floor(twips / TwipsPerPixel * devicePixelRatio + 0.5);
    // Absurd catalogues give absurd twips: clamp so the pixel stays an int.
    constexpr double limit = std::numeric_limits<int>::max() / 4;
    return int(std::clamp(px, -limit, limit));
}
} // namespace

QRect devicePixelRect(const TwipRect &r, double devicePixelRatio)
{
    const int left = devicePixel(r.left, devicePixelRatio);
    const int top = devicePixel(r.top, devicePixelRatio);
    const int right = devicePixel(r.left + r.width, devicePixelRatio);
    const int bottom = devicePixel(r.top + r.height, devicePixelRatio);
    if (right <= left || bottom <= top)
        return QRect();
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QRect deviceFrameRect(const PreviewLayout &layout, double devicePixelRatio)
{
    QRect frame = devicePixelRect(layout.frame, devicePixelRatio);
    const QRect sheet = devicePixelRect(layout.sheet, devicePixelRatio);
    if (frame.isEmpty() || sheet.isEmpty())
        return frame;
    frame.setRight(std::max(frame.right(), sheet.right() + 1));
    frame.setBottom(std::max(frame.bottom(), sheet.bottom() + 1));
    return frame;
}

} // namespace vt
