#pragma once
// Plain JPEG files decoded straight into 32-bit pixels. Qt's reader decodes to 24-bit
// rows and converts every one (a quarter of its time on a placeholder, which the first
// window waits for); told to, the JPEG library writes the 32-bit pixels itself. The
// result is the very image Qt's reader gives: same pixels, same density.
#include "platform/PictureLoading.h"

#include <QImage>
#include <QString>

#include <optional>

namespace vt {

// The picture in the file at full size, as QImage::Format_RGB32, when it is a plain
// colour JPEG that Qt's reader would give whole: eight bits, three components, no EXIF
// (which may turn it), no colour profile and no comments (which Qt's reader turns into
// the image's colour space and text), no side longer than MaxPictureSide, and wanted
// whole (sizeFor asks for no less). Nothing otherwise, and for a file
// the library cannot decode: Qt's reader then does the work as before. A file cut short
// decodes, grey to its end, as with Qt's reader: the caller's check refuses it.
std::optional<QImage> decodePlainJpeg(const QString &path, const PictureSizeRule &sizeFor);

} // namespace vt
