#pragma once
// The small drawing of the sheet in the print dialog: the paper, the printer's printable
// area and the cover's outline where it will print, at scale, in the orientation that
// prints. A cover that runs off the printable area or the paper is drawn in red.
#include "print/Sheet.h"

#include <QPixmap>

#include <optional>

namespace vt {

// Drawn sheets fit a square of this many logical pixels.
inline constexpr int SheetPictureSize = 112;

// Without a view (nothing known of the printer) a plain sheet in that orientation.
QPixmap drawSheetPicture(const std::optional<SheetView> &view, bool portrait, qreal ratio);

} // namespace vt
