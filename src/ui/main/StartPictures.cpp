#include "ui/main/StartPictures.h"

#include "app/AppState.h"
#include "app/ProgramFolders.h"
#include "app/Settings.h"
#include "formats/FormatTraits.h"
#include "platform/PictureLoading.h"

#include <QResource>

#include <utility>

namespace vt {

QImage windowBackdrop()
{
    const QResource pixels(QStringLiteral(":/art/background.pixels"));
    if (pixels.compressionAlgorithm() == QResource::NoCompression)
        return pictureOverPixels(QByteArrayView(pixels.data(), pixels.size()));
    return pictureOverPixels(pixels.uncompressedData()).copy();
}

StartPictures::StartPictures(const AppState &state, const QString &appPath)
{
    AppState peek;
    qint16 savedFormat = 0;
    ReadSettings(settingsFilePath(state), peek, savedFormat);
    // An index out of the list starts with the first format, as the load sequence does.
    const int format = savedFormat >= 0 && savedFormat < FormatTraitsCount ? savedFormat : 0;
    m_placeholders = loaderDecodingAhead(placeholderFiles(format, appPath), loadPicture);
}

PictureLoader StartPictures::takePlaceholderLoader()
{
    return std::exchange(m_placeholders, PictureLoader(loadPicture));
}

} // namespace vt
