#include "formats/CoverPictures.h"

namespace vt {

QImage startingPicture()
{
    static const QImage blank = [] {
        QImage img(1600, 1200, QImage::Format_RGB32);
        img.fill(Qt::white);
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
