#pragma once
#include <QImage>
#include <QString>

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

} // namespace vt
