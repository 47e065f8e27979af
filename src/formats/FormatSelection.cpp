#include "formats/FormatSelection.h"

#include "app/AppState.h"
#include "common/Numbers.h"

#include <algorithm>
#include <cmath>

namespace vt {

bool isPortraitOrientation(const QString &orientation)
{
    return orientation == u"Verticale";
}

double scaleFactorFor(const QString &orientation)
{
    return isPortraitOrientation(orientation) ? 18.5 : 24.5;
}

qint16 fitScaleToHeight(qint16 scale, bool portrait, double innerHeightTwips)
{
    // The sheet is centred in the window's inner area: it stays clear of the toolbar row
    // (and so, below, of the status line, which is lower) when the room above it is at
    // least the toolbar's height plus a small gap.
    const int sheetMm = portrait ? 297 : 210;
    const double room = innerHeightTwips - 2.0 * PreviewSheetClearanceTwips;
    if (room <= 0 || double(scale) * sheetMm <= room)
        return scale;
    return qint16(std::max(1.0, std::floor(room / sheetMm)));
}

bool computePreviewScale(AppState &state, int formatIndex, double innerHeightTwips)
{
    const CoverFormat *format = formatIndex <= state.LastFormatIndex ? state.Catalogue.at(formatIndex) : nullptr;
    const bool portrait = format ? isPortraitOrientation(format->Orientation) : true;
    const double k = portrait ? 18.5 : 24.5;
    // (k / initial height) x current height, in that order, in double precision.
    if (const auto scale = toInt16((k / double(state.InitialScaleHeight)) * innerHeightTwips))
        state.PreviewScale = fitScaleToHeight(*scale, portrait, innerHeightTwips);
    if (!format)
        return portrait;
    auto size = [&](qint32 &target, qint32 mm) {
        if (const auto v = mul32(state.PreviewScale, mm))
            target = *v;
    };
    size(state.PreviewA, format->DimA);
    size(state.PreviewB, format->DimB);
    size(state.PreviewC, format->DimC);
    size(state.PreviewD, format->DimD);
    state.CurrentOrientation = format->Orientation;
    state.CurrentShape = format->Shape;
    return portrait;
}

} // namespace vt
