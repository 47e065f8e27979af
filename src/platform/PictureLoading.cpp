#include "platform/PictureLoading.h"

#include "common/TextFile.h"

#include <QByteArrayView>
#include <QFile>
#include <QImageReader>

#include <algorithm>

namespace vt {

namespace {

// A JPEG whose data stops before its end marker decodes without an error: the decoder
// fills the missing rows with grey and only warns. Its last scan must be followed by
// the end-of-image marker (FF D9), which cannot occur inside coded data, where every
// FF byte is followed by 00 or a restart marker.
bool isCutShortJpeg(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const qint64 size = file.size();
    const uchar *bytes = size > 0 ? file.map(0, size) : nullptr;
    QByteArray copy;
    QByteArrayView data;
    if (bytes) {
        data = QByteArrayView(bytes, size);
    } else {
        copy = file.readAll();
        data = copy;
    }
    // Only the tail is read in a whole file: its end marker is normally its last two
    // bytes. An earlier end marker (an embedded thumbnail's) does not count when a scan
    // starts after it.
    const QByteArrayView scan("\xFF\xDA", 2);
    const qsizetype end = data.lastIndexOf(QByteArrayView("\xFF\xD9", 2));
    if (end < 0 || data.sliced(end + 2).contains(scan))
        return true;
    // And a scan must come before it (searched from the start, where the first one is).
    return !data.first(end).contains(scan);
}

} // namespace

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
    const bool jpeg = reader.format() == "jpeg";
    QImage image = reader.read();
    if (image.isNull())
        return image;
    if (jpeg && isCutShortJpeg(path))
        return QImage();
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
