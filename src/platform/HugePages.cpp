#include "platform/HugePages.h"

#include <algorithm>

#include <sys/mman.h>
#include <unistd.h>

namespace vt {

namespace {

constexpr size_t HugePage = size_t(2) << 20;

struct Mapping
{
    void *base = nullptr;
    size_t length = 0;
};

void unmapBitmap(void *info)
{
    auto *m = static_cast<Mapping *>(info);
    ::munmap(m->base, m->length);
    delete m;
}

} // namespace

QImage uniformPicture(QSize size, QRgb colour)
{
    // Whole pages, and a whole number of 4-byte pixels: the tiles line up into one picture.
    constexpr size_t Tile = size_t(128) << 10;
    if (size.isEmpty())
        return QImage();
    const qsizetype stride = qsizetype(size.width()) * 4;
    const size_t bytes = size_t(stride) * size_t(size.height());
    const size_t tiles = (bytes + Tile - 1) / Tile;
    const int fd = ::memfd_create("vantrelo-uniform-picture", MFD_CLOEXEC);
    if (fd < 0)
        return QImage();
    void *base = MAP_FAILED;
    bool mapped = ::ftruncate(fd, off_t(Tile)) == 0;
    if (mapped)
        base = ::mmap(nullptr, tiles * Tile, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    mapped = base != MAP_FAILED;
    auto *start = static_cast<uchar *>(base);
    if (mapped) {
        void *first = ::mmap(start, Tile, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_FIXED, fd, 0);
        mapped = first != MAP_FAILED;
        if (mapped) {
            std::fill_n(static_cast<quint32 *>(first), Tile / 4, quint32(colour) | 0xff000000u); // opaque
            mapped = ::mprotect(first, Tile, PROT_READ) == 0;
        }
        for (size_t k = 1; mapped && k < tiles; ++k)
            mapped = ::mmap(start + k * Tile, Tile, PROT_READ, MAP_SHARED | MAP_FIXED, fd, 0) != MAP_FAILED;
    }
    ::close(fd); // the mappings keep the tile
    if (!mapped) {
        if (base != MAP_FAILED)
            ::munmap(base, tiles * Tile);
        return QImage();
    }
    auto *mapping = new Mapping{base, tiles * Tile};
    return QImage(static_cast<const uchar *>(start), size.width(), size.height(), stride, QImage::Format_RGB32,
                  unmapBitmap, mapping);
}

QImage imageInHugePages(QSize size, QImage::Format format)
{
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (size.isEmpty() || depth < 8)
        return QImage();
    const qsizetype rowBytes = qsizetype(size.width()) * (depth / 8);
    const qsizetype stride = (rowBytes + 3) & ~qsizetype(3);
    const qsizetype bytes = stride * size.height();
    // Room to align the start to a huge page: only aligned 2 MB ranges can use one.
    const size_t length = size_t(bytes) + HugePage;
    void *base = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED)
        return QImage();
    const auto address = reinterpret_cast<quintptr>(base);
    auto *aligned = reinterpret_cast<uchar *>((address + HugePage - 1) & ~quintptr(HugePage - 1));
#ifdef MADV_HUGEPAGE
    ::madvise(aligned, size_t(bytes), MADV_HUGEPAGE);
#endif
    auto *mapping = new Mapping{base, length};
    return QImage(aligned, size.width(), size.height(), stride, format, unmapBitmap, mapping);
}

} // namespace vt
