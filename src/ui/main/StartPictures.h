#pragma once
// The pictures the window shows when it first appears, decoded on other threads while
// it is built: the backdrop, and the placeholders of the format the settings name.
#include "formats/Templates.h"

#include <QImage>
#include <QString>

#include <future>

namespace vt {

struct AppState;

class StartPictures
{
public:
    // Starts the decoding. The saved format is peeked at in the settings file; the load
    // sequence reads the settings in their turn.
    StartPictures(const AppState &state, const QString &appPath);

    // The backdrop, waited for if need be; once.
    QImage takeBackdrop();
    // A loader that hands out the decoded placeholders first; once (later calls get the
    // plain loader).
    PictureLoader takePlaceholderLoader();

private:
    std::future<QImage> m_backdrop;
    PictureLoader m_placeholders;
};

} // namespace vt
