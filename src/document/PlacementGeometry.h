#pragma once
// Where a placed picture lies in its area, as pure geometry in millimetres, and the
// area-shaped picture composed from it that the preview, the PDF and the printer show.
//
// The picture is first turned by its quarter turns; "the picture" below is the turned
// one. Its size at zoom 1 is the mode's:
//   stretch  exactly the area (the picture's proportions are not kept);
//   fill     the smallest size with the picture's proportions that covers the area;
//   fit      the largest size with the picture's proportions inside the area.
// Zoom multiplies that size. The centre fractions name the point of the picture that
// lies at the middle of the area; along an axis where the picture is larger than the
// area it is then moved back so that no edge of it comes inside the area, and along an
// axis where it is smaller it is centred (a fitted picture's white bands stay even).
#include "document/Placement.h"

#include <QImage>
#include <QRectF>
#include <QSizeF>

namespace vt {

// The picture's size in pixels once turned.
QSizeF turnedSize(QSizeF picturePixels, int turns);

// The rectangle the whole turned picture covers, in millimetres from the area's
// top-left corner (it may reach beyond the area, which clips it). Empty when the
// picture or the area is empty.
QRectF placedRect(QSizeF picturePixels, QSizeF areaMm, const Placement &p);

// The placement with its centre moved to where the picture actually lies after the
// edges are held: what a drag goes on from, so dragging back responds at once.
Placement heldPlacement(QSizeF picturePixels, QSizeF areaMm, const Placement &p);

// The placement after dragging the picture by (dx, dy) millimetres in its area.
Placement draggedPlacement(QSizeF picturePixels, QSizeF areaMm, const Placement &p, QPointF deltaMm);

// Whether the picture is stretched over the whole area, unzoomed and unturned.
bool isPlainStretch(const Placement &p);

// The pixels per inch the visible part of a placed picture prints at, in an area of
// areaMm (see printResolutionPpi); 0 when the picture or the area is empty.
double placedResolutionPpi(QSizeF picturePixels, QSizeF areaMm, const Placement &p);

// The size a picture of picturePixels may be reduced to before it is placed in an area
// of areaMm by p while the part that shows still gets at least ppi pixels per inch in
// both directions; never larger than the picture. Filled and fitted pictures keep their
// proportions (the placement then shows the same part); a stretched one is stretched over
// the area whatever its proportions, so each direction is reduced on its own. Sizes are
// in the picture's stored orientation (turns are undone). The picture's own size when the
// area or the placement gives nothing to go by.
QSize printPictureSize(QSize picturePixels, QSizeF areaMm, const Placement &p, double ppi);

// The longest side a picture needs for the preview: no preview area is larger than the
// screen, and it is to stay sharp at a display scale of 200 % (or the screen's own, when
// higher) and at the picture's zoom, taken as the next power of two so that zooming
// step by step does not reduce the picture again at every step.
int previewPictureSide(int screenSide, double devicePixelRatio, double zoom);

// Whether a picture already has the area's shape, within 1 % (titles drawn on it keep
// their proportions on paper within that).
bool hasAreaShape(QSizeF picturePixels, QSizeF areaMm);

// The picture as its area shows it: area-shaped, white where the picture does not
// reach, with only the visible part of the picture, at the visible part's own pixel
// density but no more than maxPixelsPerMm, and no less than MinComposedPixelsPerMm (or
// the cap, when that is lower), so titles drawn on it stay crisp. A plain stretch of a picture that has the
// area's shape is the picture itself (as every such cover printed before placements).
inline constexpr double MinComposedPixelsPerMm = 10; // about 250 ppi
QImage composeArea(const QImage &picture, const Placement &p, QSizeF areaMm, double maxPixelsPerMm);

} // namespace vt
