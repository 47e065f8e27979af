#pragma once
// The pictures before the menu captions.
#include <QIcon>
#include <QString>

class QMainWindow;
class QStyle;

namespace vt {

// A menu picture by name: a Tango icon or one of the program's own pictures, with a
// 16- and a 32-pixel version so it stays crisp on a 200 % screen. Null when unknown.
QIcon menuPicture(const QString &name);

// Gives every menu entry of the window that has a picture in the table its picture. Run
// after every language load: captions and pictures are set together. Also lets the menu
// bar show a picture beside each caption rather than in its place.
void applyMenuIcons(QMainWindow &window);

// The application's style for a run of the program: the platform's own, except that
// the pictures of a menu bar's and a tool bar's overflow button are read when first
// drawn instead of when a bar is made. Reading them is what makes Qt load every image
// plugin it has (a dozen libraries) while the window is built, and most runs never show
// those buttons. Owned by whoever sets it (QApplication::setStyle).
QStyle *styleWithDeferredBarPictures();

} // namespace vt
