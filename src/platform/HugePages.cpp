#include "platform/HugePages.h"

#include <sys/mman.h>

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
