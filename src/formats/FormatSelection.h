#pragma once
// The numbers format selection computes: the preview scale (twips per millimetre,
// following the window's height) and the sizes of the picture areas.
#include <QString>

namespace vt {

struct AppState;

// Exactly "Verticale" is a portrait format; any other text (other case included) is not.
bool isPortraitOrientation(const QString &orientation);

// 18.5 for portrait formats, 24.5 for all others.
double scaleFactorFor(const QString &orientation);

// Sets PreviewScale from the window's inner height, then PreviewA..D, CurrentOrientation
// and CurrentShape from the format. An index the catalogue does not hold (-1: nothing
// selected) leaves sizes, orientation and shape as they were and scales as for a portrait
// format; a scale or size that does not fit its integer keeps its previous value.
// Returns whether the format is portrait (what the printer's page orientation follows).
// Room kept free above and below the centred sheet: the toolbar row (780 twips) and a
// 4-pixel gap.
inline constexpr int PreviewSheetClearanceTwips = 780 + 60;

// The scale, made smaller where needed so the A4 sheet (297 mm high upright, 210 mm on
// its side) fits between the toolbar row and the status line.
qint16 fitScaleToHeight(qint16 scale, bool portrait, double innerHeightTwips);

bool computePreviewScale(AppState &state, int formatIndex, double innerHeightTwips);

} // namespace vt
