#include "platform/PictureLoading.h"

#include "common/TextFile.h"
#include "platform/JpegDecode.h"

#include <QByteArrayView>
#include <QFile>
#include <QImageReader>
#include <QMutex>
#include <QtEndian>

#include <algorithm>
#include <deque>

#include <sys/stat.h>

namespace vt {

namespace {

// A JPEG whose data stops before its end marker decodes without an error: the decoder
// fills the missing rows with grey and only warns. Its last scan must be followed by
// the end-of-image marker (FF D9), which cannot occur inside coded data, where every
// FF byte is followed by 00 or a restart marker.
bool isCutShortJpeg(QByteArrayView data)
{
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

std::optional<FileStamp> stampOf(const struct stat &st)
{
    if (!S_ISREG(st.st_mode))
        return std::nullopt;
    auto ns = [](const timespec &t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return FileStamp{qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
}

std::optional<FileStamp> stampOf(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return stampOf(st);
}

std::optional<FileStamp> stampOf(const QFile &file)
{
    struct stat st;
    if (::fstat(file.handle(), &st) != 0)
        return std::nullopt;
    return stampOf(st);
}

// The JPEG files decoded whole, by the cache key of the picture each gave. A picture's
// key changes with any write to its pixels, so a key found here is that decoding,
// unchanged. Only the latest few are kept: a cover has three pictures.
class DecodedJpegs
{
public:
    struct Entry
    {
        qint64 key = 0;
        JpegFile file;
    };

    void add(Entry entry)
    {
        const QMutexLocker lock(&m_mutex);
        m_entries.push_back(std::move(entry));
        if (m_entries.size() > 8)
            m_entries.pop_front();
    }

    std::optional<Entry> find(qint64 key) const
    {
        const QMutexLocker lock(&m_mutex);
        for (const Entry &e : m_entries)
            if (e.key == key)
                return e;
        return std::nullopt;
    }

private:
    mutable QMutex m_mutex;
    std::deque<Entry> m_entries;
};

DecodedJpegs &decodedJpegs()
{
    static DecodedJpegs jpegs;
    return jpegs;
}

// What loading a JPEG learns from its bytes besides the pixels.
struct JpegCheck
{
    bool cutShort = true;
    std::optional<FileStamp> stamp;
    std::optional<JpegFrame> frame;
};

JpegCheck checkJpeg(const QString &path)
{
    JpegCheck check;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return check;
    check.stamp = stampOf(file);
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
    check.cutShort = isCutShortJpeg(data);
    check.frame = readJpegFrame(data);
    return check;
}

} // namespace

QImage readPng(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

namespace {

constexpr char PixelFileMagic[4] = {'V', 'T', 'P', 'X'};
constexpr qsizetype PixelFileHead = 12;
// Larger than any picture of the program's own, small enough that the size never overflows.
constexpr quint32 PixelFileMaxSide = 16384;

} // namespace

QByteArray pixelFileBytes(const QImage &picture)
{
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    if (pixels.isNull() || quint32(pixels.width()) > PixelFileMaxSide || quint32(pixels.height()) > PixelFileMaxSide)
        return QByteArray();
    QByteArray out(PixelFileMagic, sizeof PixelFileMagic);
    out.resize(PixelFileHead);
    qToLittleEndian(quint32(pixels.width()), out.data() + 4);
    qToLittleEndian(quint32(pixels.height()), out.data() + 8);
    const qsizetype row = qsizetype(pixels.width()) * 4;
    out.reserve(PixelFileHead + row * pixels.height());
    for (int y = 0; y < pixels.height(); ++y)
        out.append(reinterpret_cast<const char *>(pixels.constScanLine(y)), row);
    return out;
}

QImage pictureOverPixels(QByteArrayView bytes)
{
    if (bytes.size() < PixelFileHead || !bytes.startsWith(QByteArrayView(PixelFileMagic, sizeof PixelFileMagic)))
        return QImage();
    const quint32 width = qFromLittleEndian<quint32>(bytes.data() + 4);
    const quint32 height = qFromLittleEndian<quint32>(bytes.data() + 8);
    if (width == 0 || height == 0 || width > PixelFileMaxSide || height > PixelFileMaxSide
        || bytes.size() - PixelFileHead != qsizetype(width) * height * 4)
        return QImage();
    const auto *pixels = reinterpret_cast<const uchar *>(bytes.data() + PixelFileHead);
    const QImage over(pixels, int(width), int(height), qsizetype(width) * 4, QImage::Format_RGB32);
    // Painting reads whole 32-bit words.
    return quintptr(pixels) % 4 == 0 ? over : over.copy();
}

namespace {

// Any picture Qt reads, turned upright and reduced by the rule as loadPictureAtSize says;
// jpeg and whole tell whether it came from a JPEG, and whole and upright as stored.
QImage readWithQt(const QString &path, const PictureSizeRule &sizeFor, bool &jpeg, bool &whole)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    whole = reader.transformation() == QImageIOHandler::TransformationNone;
    if (size.isValid()) {
        // The reader scales the picture as stored, before turning it upright.
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        QSize loaded = turned ? size.transposed() : size;
        if (std::max(loaded.width(), loaded.height()) > MaxPictureSide)
            loaded = loaded.scaled(MaxPictureSide, MaxPictureSide, Qt::KeepAspectRatio);
        const QSize wanted = wantedSize(loaded, sizeFor);
        const QSize stored = turned ? wanted.transposed() : wanted;
        if (stored != size) {
            reader.setScaledSize(stored);
            whole = false;
        }
    }
    jpeg = reader.format() == "jpeg";
    return reader.read();
}

} // namespace

QSize wantedSize(QSize loaded, const PictureSizeRule &sizeFor)
{
    if (!sizeFor)
        return loaded;
    const QSize asked = sizeFor(loaded);
    return asked.isValid() && !asked.isEmpty() ? asked.boundedTo(loaded) : loaded;
}

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
    // Taken before the decoder opens the file: a file changed while it is decoded then
    // differs from the stamp taken after, and its decoding is not taken for its data.
    const std::optional<FileStamp> before = stampOf(path);
    QImage image;
    bool jpeg = true;
    bool whole = true;
    if (std::optional<QImage> plain = decodePlainJpeg(path, sizeFor))
        image = std::move(*plain);
    else
        image = readWithQt(path, sizeFor, jpeg, whole);
    if (image.isNull())
        return image;
    JpegCheck check;
    if (jpeg) {
        check = checkJpeg(path);
        if (check.cutShort)
            return QImage();
    }
    // A header may promise one size and the picture decode to another (a GIF's screen
    // and its frame, say), so the limit is checked again on what was decoded.
    if (std::max(image.width(), image.height()) > MaxPictureSide)
        image = image.scaled(MaxPictureSide, MaxPictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // One 32-bit format for every picture: titles and cuts then never convert again.
    const QImage::Format wanted = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                          : QImage::Format_RGB32;
    if (image.format() != wanted)
        image = image.convertToFormat(wanted);
    if (jpeg && whole && check.frame && check.frame->size == image.size() && before && check.stamp
        && *before == *check.stamp)
        decodedJpegs().add({image.cacheKey(), {path, *check.stamp, *check.frame}});
    return image;
}

std::optional<JpegFrame> readJpegFrame(QByteArrayView data)
{
    if (data.size() < 4 || uchar(data[0]) != 0xFF || uchar(data[1]) != 0xD8)
        return std::nullopt;
    qsizetype at = 2;
    for (;;) {
        // A marker: FF, any number of fill FFs, and its code.
        if (at >= data.size() || uchar(data[at]) != 0xFF)
            return std::nullopt;
        while (at < data.size() && uchar(data[at]) == 0xFF)
            ++at;
        if (at >= data.size())
            return std::nullopt;
        const uchar code = uchar(data[at++]);
        // Markers without a length: restarts and the like.
        if (code == 0x01 || (code >= 0xD0 && code <= 0xD7))
            continue;
        // A scan or the end before any frame: no frame to read.
        if (code == 0xDA || code == 0xD9 || at + 2 > data.size())
            return std::nullopt;
        const int length = qFromBigEndian<quint16>(data.data() + at);
        if (length < 2 || at + length > data.size())
            return std::nullopt;
        const bool frame = code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
        if (!frame) {
            at += length;
            continue;
        }
        // Huffman coded, sequential or progressive; the others (lossless, arithmetic)
        // are not what every reader decodes.
        if (code > 0xC2 || length < 8)
            return std::nullopt;
        const int precision = uchar(data[at + 2]);
        const QSize size(qFromBigEndian<quint16>(data.data() + at + 5), qFromBigEndian<quint16>(data.data() + at + 3));
        const int components = uchar(data[at + 7]);
        if (precision != 8 || size.isEmpty() || (components != 1 && components != 3)
            || length < 8 + 3 * components)
            return std::nullopt;
        return JpegFrame{size, components};
    }
}

std::optional<JpegFile> unchangedJpegOf(const QImage &picture)
{
    if (picture.isNull())
        return std::nullopt;
    const std::optional<DecodedJpegs::Entry> decoded = decodedJpegs().find(picture.cacheKey());
    if (!decoded || decoded->file.frame.size != picture.size() || stampOf(decoded->file.path) != decoded->file.stamp)
        return std::nullopt;
    return decoded->file;
}

bool appendJpegFile(QByteArray &out, const JpegFile &jpeg)
{
    QFile file(jpeg.path);
    if (!file.open(QIODevice::ReadOnly) || stampOf(file) != jpeg.stamp)
        return false;
    const qsizetype before = out.size();
    const qint64 size = jpeg.stamp.size;
    out.resize(before + size);
    // Read as it was decoded, and not written to while being read.
    const bool whole = file.read(out.data() + before, size) == size && file.atEnd() && stampOf(file) == jpeg.stamp;
    const std::optional<JpegFrame> frame = whole ? readJpegFrame(QByteArrayView(out).sliced(before)) : std::nullopt;
    if (!frame || frame->size != jpeg.frame.size || frame->components != jpeg.frame.components) {
        out.truncate(before);
        return false;
    }
    return true;
}

} // namespace vt
