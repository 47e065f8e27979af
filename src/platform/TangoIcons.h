#pragma once
// Icons embedded from the Tango library by vt_add_tango_icons (cmake/TangoIcons.cmake).
#include <QIcon>
#include <QString>

namespace vt {

// Every embedded size of the icon called name ("document-print"), so Qt picks the sharpest
// one for the size and pixel ratio it draws at. A null icon when none was embedded.
QIcon tangoIcon(const QString &name);

} // namespace vt

class QPixmap;

namespace vt {

// The icon as a picture of logicalSize at the given pixel ratio: a fixed size the theme
// ships when one fits exactly, otherwise drawn from its scalable version (embedded with
// vt_add_tango_scalable), so 200 % screens get sharp pictures. Null when neither exists.
QPixmap tangoPixmap(const QString &name, int logicalSize, qreal devicePixelRatio);

} // namespace vt
