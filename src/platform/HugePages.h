#pragma once
// Where large bitmaps live in memory. A photo's bitmap is about 100 MB; fresh memory
// from the allocator arrives in 4 KB pages, each faulted in on first touch:
// about 24 000 faults per photo, which on a virtual machine costs more than writing the
// pixels. Asking for 2 MB pages cuts the faults five hundredfold where the system offers
// them (a hint: where it does not, the memory is ordinary).
#include <QImage>
#include <QSize>

namespace vt {

// Below this many bytes a bitmap is left to Qt's own allocation.
inline constexpr qsizetype HugePageThreshold = qsizetype(16) << 20;

// An uninitialised image of the size and format (8 to 32 bits a pixel) in memory of its
// own; a null image when the memory could not be had.
QImage imageInHugePages(QSize size, QImage::Format format);

// A read-only 32-bit picture of one colour whose memory is one 128 KB tile of that colour
// mapped over and over: 128 KB however large the picture, and nothing filled but the
// tile (a 1600 x 1200 picture filled at start took 1900 page faults and a few ms). Drawing on it (or on a copy) detaches a copy, as for any shared
// picture. A null image when the system refuses the mappings.
QImage uniformPicture(QSize size, QRgb colour);

} // namespace vt
