#pragma once
// Icons embedded from the Tango library by vt_add_tango_icons (cmake/TangoIcons.cmake).
#include <QList>
#include <QString>

#include <utility>

class QPixmap;

namespace vt {

// The embedded files of the icon called name ("document-print"): each size in pixels with
// its resource path, smallest first. Empty when none was embedded.
QList<std::pair<int, QString>> tangoIconFiles(const QString &name);

// The icon as a picture of logicalSize at the given pixel ratio: a fixed size the theme
// ships when one fits exactly, otherwise drawn from its scalable version (embedded with
// vt_add_tango_scalable), so 200 % screens get sharp pictures. Null when neither exists.
QPixmap tangoPixmap(const QString &name, int logicalSize, qreal devicePixelRatio);

} // namespace vt
