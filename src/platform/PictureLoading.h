#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace vt {

// Pictures up to this many megabytes of decoded pixels load (a 50-megapixel photo needs
// 200); anything larger is refused like an undecodable file instead of exhausting memory.
inline constexpr int PictureAllocationLimitMB = 768;

// No cover prints wider than about 285 mm, and print never uses more than 600 pixels per
// inch: a longer side beyond this many pixels is detail nobody sees, at a cost every
// redraw pays.
inline constexpr int MaxPictureSide = 6800;

// Decodes a picture file in any format Qt reads here, turned upright by its EXIF
// orientation, with a longer side above MaxPictureSide reduced to it by smooth
// resampling (JPEG files are reduced while decoding, so the full size is never held).
// A null image when the file is missing, not a picture, too large, or a JPEG whose data
// ends before the picture does (it would show as a grey block).
QImage loadPicture(const QString &path);

// A PNG file or resource of the program's own, decoded by Qt's built-in reader. Read the
// usual way, the first picture makes Qt load every image plugin there is (a dozen
// libraries, several milliseconds) to ask each whether it reads PNG; told the format and
// to detect nothing, the reader asks only a plugin for PNG itself, and there is none.
// Null when the file is missing or no PNG.
QImage readPng(const QString &path);

// A picture of the program's own stored as its pixels, to be used where it lies instead
// of being decoded: a 12-byte head ("VTPX", then width and height as 32-bit
// little-endian numbers) and the rows of opaque 32-bit pixels (QImage::Format_RGB32 as
// this machine lays it out), nothing between rows. The build writes these files.
QByteArray pixelFileBytes(const QImage &picture);
// A picture over the bytes of such a file, sharing them (they must outlive the picture
// and every copy of it) when they lie on a 4-byte boundary, copied otherwise. Null when
// the bytes are not one whole pixel file.
QImage pictureOverPixels(QByteArrayView bytes);

// The size a picture is wanted at, from the size it would load at (upright, within
// MaxPictureSide); an answer larger in either direction counts as that size.
using PictureSizeRule = std::function<QSize(QSize loadedSize)>;

// What the rule asks for a picture that would load at loaded, within loaded.
QSize wantedSize(QSize loaded, const PictureSizeRule &sizeFor);

// The same, decoded straight at the size the rule asks for: a JPEG decoder reduces by
// 1/2, 1/4 or 1/8 while it decodes, and the rest is smooth resampling, so the full-size
// picture is held only for as long as the decoder needs it. Safe to call from several
// threads at once.
QImage loadPictureAtSize(const QString &path, const PictureSizeRule &sizeFor);

// What a JPEG's frame header says.
struct JpegFrame
{
    QSize size;          // pixels as stored
    int components = 0;  // 1 (grey) or 3 (colour)
};

// The frame of a JPEG that any PDF reader decodes as it is: eight bits per sample,
// Huffman coded (baseline, extended or progressive), grey or colour. Nothing for
// anything else (arithmetic coding, lossless, CMYK, a header cut short).
std::optional<JpegFrame> readJpegFrame(QByteArrayView data);

// What tells one content of a file from another without reading it: rewriting a file
// changes its modification and status-change times (in nanoseconds), replacing it its
// inode.
struct FileStamp
{
    qint64 device = 0;
    qint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    bool operator==(const FileStamp &) const = default;
};

// A JPEG file as a picture was decoded from it.
struct JpegFile
{
    QString path;
    FileStamp stamp;
    JpegFrame frame;
};

// The file a picture was decoded from, when the picture is exactly that decoding
// (whole, at full size, needing no turn, not changed since): a PDF can carry the file's
// bytes instead of the pixels encoded anew. Nothing for any other picture. Safe to call
// from several threads at once.
std::optional<JpegFile> unchangedJpegOf(const QImage &picture);

// Appends the file's bytes to out as they were when the picture was decoded. False,
// with out as it was, when the file has changed since or cannot be read whole.
bool appendJpegFile(QByteArray &out, const JpegFile &file);

} // namespace vt
