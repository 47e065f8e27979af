#include "formats/PrintResolution.h"

#include "app/AppState.h"
#include "formats/PreviewArrangement.h"

#include <algorithm>

namespace vt {

double printResolutionPpi(const QRectF &visibleSourcePixels, const QSizeF &printedMm)
{
    if (!(visibleSourcePixels.width() > 0) || !(visibleSourcePixels.height() > 0) || !(printedMm.width() > 0)
        || !(printedMm.height() > 0))
        return 0;
    const double across = visibleSourcePixels.width() / (printedMm.width() / 25.4);
    const double down = visibleSourcePixels.height() / (printedMm.height() / 25.4);
    return std::min(across, down);
}

bool isLowResolution(double ppi)
{
    return ppi > 0 && ppi < SharpPrintPpi;
}

} // namespace vt
