#pragma once
// The pictures before the menu captions.
#include <QIcon>
#include <QString>

class QMainWindow;

namespace vt {

// A menu picture by name: a Tango icon or one of the program's own pictures, with a
// 16- and a 32-pixel version so it stays crisp on a 200 % screen. Null when unknown.
QIcon menuPicture(const QString &name);

// Gives every menu entry of the window that has a picture in the table its picture. Run
// after every language load: captions and pictures are set together. Also lets the menu
// bar show a picture beside each caption rather than in its place.
void applyMenuIcons(QMainWindow &window);

} // namespace vt
