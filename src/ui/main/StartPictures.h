#pragma once
// The pictures the window shows when it first appears: the backdrop, built in as its
// pixels, and the placeholders of the format the settings name, decoded on other threads
// while the window is built.
#include "formats/Templates.h"

#include <QImage>
#include <QString>

namespace vt {

struct AppState;

// The window's backdrop over the program's own bytes: nothing is decoded or copied.
QImage windowBackdrop();

class StartPictures
{
public:
    // Starts the decoding. The saved format is peeked at in the settings file; the load
    // sequence reads the settings in their turn.
    StartPictures(const AppState &state, const QString &appPath);

    // A loader that hands out the decoded placeholders first; once (later calls get the
    // plain loader).
    PictureLoader takePlaceholderLoader();

private:
    PictureLoader m_placeholders;
};

} // namespace vt
