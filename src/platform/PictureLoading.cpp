#include "platform/PictureLoading.h"

#include "common/TextFile.h"

#include <QImageReader>

#include <algorithm>

namespace vt {

QImage loadPicture(const QString &path)
{
    return loadPictureAtSize(path, {});
}

QImage loadPictureAtSize(const QString &path, const PictureSizeRule &sizeFor)
{
    if (!isRegularFile(path))
        return QImage();
    // Set once: pictures may be loaded on several threads at a time.
    static const bool limited = [] {
        QImageReader::setAllocationLimit(PictureAllocationLimitMB);
        return true;
    }();
    Q_UNUSED(limited);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid()) {
        // The reader scales the picture as stored, before turning it upright.
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        QSize loaded = turned ? size.transposed() : size;
        if (std::max(loaded.width(), loaded.height()) > MaxPictureSide)
            loaded = loaded.scaled(MaxPictureSide, MaxPictureSide, Qt::KeepAspectRatio);
        QSize wanted = loaded;
        if (sizeFor) {
            const QSize asked = sizeFor(loaded);
            if (asked.isValid() && !asked.isEmpty())
                wanted = asked.boundedTo(loaded);
        }
        const QSize stored = turned ? wanted.transposed() : wanted;
        if (stored != size)
            reader.setScaledSize(stored);
    }
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
