#pragma once
// The preview on a screen: every rectangle of the layout snapped to whole device
// pixels. Painted at fractional positions, a 10-twip frame falls between pixels and
// vanishes, and a one-pixel outline smears over two pixels in grey; snapped, edges that
// meet in twips still meet on screen and every line lands on one pixel.
#include "formats/PreviewArrangement.h"

#include <QRect>

namespace vt {

// Each edge rounded to the nearest device pixel on its own, so rectangles that share
// an edge in twips share it in pixels. Empty when the rectangle rounds to nothing.
QRect devicePixelRect(const TwipRect &r, double devicePixelRatio);

// The sheet's frame: snapped like the rest, but always at least one device pixel beyond
// the sheet on the right and at the bottom, so the edge shows at every size.
QRect deviceFrameRect(const PreviewLayout &layout, double devicePixelRatio);

} // namespace vt
