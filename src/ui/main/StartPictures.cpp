#include "ui/main/StartPictures.h"

#include "app/AppState.h"
#include "app/ProgramFolders.h"
#include "app/Settings.h"
#include "formats/FormatTraits.h"
#include "platform/PictureLoading.h"

#include <utility>

namespace vt {

StartPictures::StartPictures(const AppState &state, const QString &appPath)
{
    // The backdrop is opaque (stored without alpha), so it is drawn as a plain copy.
    m_backdrop = std::async(std::launch::async, [] { return readPng(QStringLiteral(":/art/background.png")); });
    AppState peek;
    qint16 savedFormat = 0;
    ReadSettings(settingsFilePath(state), peek, savedFormat);
    // An index out of the list starts with the first format, as the load sequence does.
    const int format = savedFormat >= 0 && savedFormat < FormatTraitsCount ? savedFormat : 0;
    m_placeholders = loaderDecodingAhead(placeholderFiles(format, appPath), loadPicture);
}

QImage StartPictures::takeBackdrop()
{
    return m_backdrop.valid() ? m_backdrop.get() : QImage();
}

PictureLoader StartPictures::takePlaceholderLoader()
{
    return std::exchange(m_placeholders, PictureLoader(loadPicture));
}

} // namespace vt
