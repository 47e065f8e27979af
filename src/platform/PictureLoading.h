#pragma once
#include <QImage>
#include <QString>

namespace vt {

// Pictures up to this many megabytes of decoded pixels load (a 50-megapixel photo needs
// 200); anything larger is refused like an undecodable file instead of exhausting memory.
inline constexpr int PictureAllocationLimitMB = 768;

// Decodes a picture file in any format Qt reads here, turned upright by its EXIF
// orientation. A null image when the file is missing, not a picture, or too large.
QImage loadPicture(const QString &path);

} // namespace vt
