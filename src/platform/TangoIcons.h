#pragma once
// Icons embedded from the Tango library by vt_add_tango_icons (cmake/TangoIcons.cmake).
#include <QIcon>
#include <QString>

namespace vt {

// Every embedded size of the icon called name ("document-print"), so Qt picks the sharpest
// one for the size and pixel ratio it draws at. A null icon when none was embedded.
QIcon tangoIcon(const QString &name);

} // namespace vt
