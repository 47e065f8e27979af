#include "formats/CoverPictures.h"

#include "platform/HugePages.h"

namespace vt {

QImage startingPicture()
{
    // Nothing draws on it in place (a slot's picture is copied before titles go on it), so
    // its 7.7 MB are one white tile mapped over and over instead of memory filled at start.
    static const QImage blank = [] {
        QImage img = uniformPicture(QSize(1600, 1200), qRgb(255, 255, 255));
        if (img.isNull()) {
            img = QImage(1600, 1200, QImage::Format_RGB32);
            img.fill(Qt::white);
        }
        return img;
    }();
    return blank;
}

void putPictureInSlot(CoverPictures &pictures, int slot, const QImage &picture, const QString &path)
{
    ImageSlot &s = pictures.imageSlots[size_t(slot)];
    s.Picture = picture;
    s.CleanCopy = picture;
    s.Path = path;
    if (slot == 1)
        pictures.image8 = picture;
}

} // namespace vt
