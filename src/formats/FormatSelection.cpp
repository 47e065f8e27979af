#include "formats/FormatSelection.h"

#include "app/AppState.h"
#include "common/Numbers.h"

namespace vt {

bool isPortraitOrientation(const QString &orientation)
{
    return orientation == u"Verticale";
}

double scaleFactorFor(const QString &orientation)
{
    return isPortraitOrientation(orientation) ? 18.5 : 24.5;
}

bool computePreviewScale(AppState &state, int formatIndex, double innerHeightTwips)
{
    const CoverFormat *format = formatIndex <= state.LastFormatIndex ? state.Catalogue.at(formatIndex) : nullptr;
    const bool portrait = format ? isPortraitOrientation(format->Orientation) : true;
    const double k = portrait ? 18.5 : 24.5;
    // (k / initial height) x current height, in that order, in double precision.
    if (const auto scale = toInt16((k / double(state.InitialScaleHeight)) * innerHeightTwips))
        state.PreviewScale = *scale;
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
