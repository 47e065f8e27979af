#include "platform/PictureLoading.h"

#include "common/TextFile.h"

#include <QImageReader>

#include <algorithm>

namespace vt {

QImage loadPicture(const QString &path)
{
    if (!isRegularFile(path))
        return QImage();
    QImageReader::setAllocationLimit(PictureAllocationLimitMB);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && std::max(size.width(), size.height()) > MaxPictureSide)
        reader.setScaledSize(size.scaled(MaxPictureSide, MaxPictureSide, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return image;
    // A header may promise one size and the picture decode to another (a GIF's screen
    // and its frame, say), so the limit is checked again on what was decoded.
    if (std::max(image.width(), image.height()) > MaxPictureSide)
        image = image.scaled(MaxPictureSide, MaxPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // One 32-bit format for every picture: titles and cuts then never convert again.
    const QImage::Format wanted = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32;
    if (image.format() != wanted)
        image = image.convertToFormat(wanted);
    return image;
}

} // namespace vt
