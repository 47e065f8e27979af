#pragma once
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

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

// The size a picture is wanted at, from the size it would load at (upright, within
// MaxPictureSide); an answer larger in either direction counts as that size.
using PictureSizeRule = std::function<QSize(QSize loadedSize)>;

// The same, decoded straight at the size the rule asks for: a JPEG decoder reduces by
// 1/2, 1/4 or 1/8 while it decodes, and the rest is smooth resampling, so the full-size
// picture is held only for as long as the decoder needs it. Safe to call from several
// threads at once.
QImage loadPictureAtSize(const QString &path, const PictureSizeRule &sizeFor);

} // namespace vt
