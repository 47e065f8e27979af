// The picture loading path: any file handed over as a picture decodes or is refused,
// within the allocation limit, and never comes out larger than the program keeps.
#include "FuzzSupport.h"

#include "platform/PictureLoading.h"

#include <QImage>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    vt::fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vt;
    // The format is found from the content, as for a file with a misleading name.
    const QString path = fuzz::writeScratch(QStringLiteral("picture.jpg"), fuzz::bytesOf(data, size));
    const QImage image = loadPicture(path);
    if (image.isNull())
        return 0;
    VT_FUZZ_CHECK(image.width() > 0 && image.height() > 0);
    VT_FUZZ_CHECK(qMax(image.width(), image.height()) <= MaxPictureSide);
    VT_FUZZ_CHECK(image.sizeInBytes() <= qsizetype(PictureAllocationLimitMB) * 1024 * 1024);
    return 0;
}
